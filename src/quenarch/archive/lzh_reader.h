#pragma once

#include "quenarch/archive/bytes.h"
#include "quenarch/archive/reader_frame.h"
#include "quenarch/platform/text_codec.h"

namespace quenarch {

// Lists an LZH (LHA) archive by walking its member headers from the front of the file, each
// read by its own header level (0, 1 or 2). Lists at most 10,000 members. LZH archives carry no
// comment, and every file is taken for an archive: whatever its bytes give is listed.
ReadVerdict ReadLzhArchive(Bytes file, MemberSink& sink, const TextCodec& codec);

} // namespace quenarch
