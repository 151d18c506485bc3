#pragma once

#include "quenarch/archive/byte_source.h"
#include "quenarch/archive/reader_frame.h"

#include <cstddef>

namespace quenarch {

// 52 61 72 21 1A 07 01 00: the blocks of a RAR5 archive follow right after it.
inline constexpr std::size_t rar5SignatureSize = 8;

// Walks the blocks of a RAR5 archive. The first block decides whether the file is an archive: a
// main header (the file headers after it become members) or an archive encryption header (every
// later header is encrypted, so nothing is listed).
ReadVerdict readRar5Blocks(ByteSource& file, MemberSink& sink);

} // namespace quenarch
