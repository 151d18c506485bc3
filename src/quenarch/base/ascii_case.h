#pragma once

#include <cstddef>

namespace quenarch {

// Lower-cases the ASCII letters "A" to "Z" of bytes in place, eight bytes at a time, and leaves
// every other byte as it is. Returns whether every byte was ASCII, that is below 0x80.
bool lowerAsciiLetters(char* bytes, std::size_t count);

// Whether c is one of the ASCII digits "0" to "9", whatever the locale.
constexpr bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace quenarch
