#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists an LZH (LHA) archive by walking its member headers from the front of the file, each
// read by its own header level (0, 1 or 2). Lists at most 10,000 members. LZH archives carry no
// comment, and every file is taken for an archive: whatever its bytes give is listed.
ReadVerdict ReadLzhArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
