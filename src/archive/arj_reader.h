#pragma once

#include "archive/bytes.h"
#include "archive/reader_frame.h"
#include "platform/text_codec.h"

namespace quenarch {

// Lists an ARJ archive: the main header's archive comment, then one member per local header,
// each header walked by its own sizes and the packed data jumped over. Never judges a file not
// to be an ARJ archive.
ReadVerdict ReadArjArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
