#include "quenarch/platform/memory_file.h"

#include <algorithm>
#include <cstring>

namespace quenarch {

std::size_t MemoryFile::readAt(std::uint64_t offset, std::span<std::uint8_t> buffer)
{
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::size_t>(buffer.size(), bytes_.size() - static_cast<std::size_t>(offset));
    if (count != 0) std::memcpy(buffer.data(), bytes_.data() + offset, count);
    return count;
}

} // namespace quenarch
