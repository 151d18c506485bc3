#include "quenarch/base/ascii_case.h"

#include <cstdint>
#include <cstring>

namespace quenarch {

bool lowerAsciiLetters(char* bytes, std::size_t count)
{
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    char* c = bytes;
    char* const end = bytes + count;
    std::uint64_t seen = 0;
    for (std::uint64_t word = 0; end - c >= 8; c += 8) {
        std::memcpy(&word, c, 8);
        seen |= word;
        // A byte's high bit ends up set when its low seven bits are "A" to "Z" and it is ASCII;
        // moved down to bit 5 it is the difference between the two cases.
        const std::uint64_t low = word & ~highBits;
        const std::uint64_t upper = (low + (0x80 - 'A') * ones) & ~(low + (0x80 - 'Z' - 1) * ones) & ~word & highBits;
        word |= upper >> 2;
        std::memcpy(c, &word, 8);
    }
    bool ascii = (seen & highBits) == 0;
    for (; c != end; ++c) {
        ascii = ascii && static_cast<unsigned char>(*c) < 0x80;
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c | 0x20);
    }
    return ascii;
}

} // namespace quenarch
