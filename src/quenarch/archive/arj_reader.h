#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/name_decoder.h"
#include "quenarch/archive/reader_frame.h"

namespace quenarch {

// Lists an ARJ archive: the main header's archive comment, then one member per local header,
// each header walked by its own sizes and the packed data jumped over. Never judges a file not
// to be an ARJ archive.
ReadVerdict ReadArjArchive(ByteSource& file, MemberSink& sink, const NameDecoder& names);

} // namespace quenarch
