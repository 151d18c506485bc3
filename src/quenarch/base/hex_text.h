#pragma once

#include <cstdint>
#include <string>

namespace quenarch {

// Appends a number in upper-case hexadecimal without leading zeros ("0" for zero).
void appendUpperHex(std::string& out, std::uint32_t value);

} // namespace quenarch
