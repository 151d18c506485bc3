#pragma once

#include <cstdint>
#include <span>

namespace quenarch {

// The CRC-32 of ZIP and PNG (reflected polynomial 0xEDB88320).
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

} // namespace quenarch
