#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

namespace quenarch {

// Lists an ARC archive by walking its member headers from the front, each followed by its
// packed data. A file whose headers do not start with the ARC marker is not an ARC archive.
ReadVerdict ReadArcArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
