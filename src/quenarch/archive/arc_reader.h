#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists an ARC archive by walking its member headers from the front, each followed by its
// packed data. A file whose headers do not start with the ARC marker is not an ARC archive.
ReadVerdict ReadArcArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
