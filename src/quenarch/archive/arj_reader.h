#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

namespace quenarch {

// Lists an ARJ archive: the main header's archive comment, then one member per local header,
// each header walked by its own sizes and the packed data jumped over. Never judges a file not
// to be an ARJ archive.
ReadVerdict ReadArjArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
