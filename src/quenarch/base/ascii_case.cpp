#include "quenarch/base/ascii_case.h"

#include <cstdint>
#include <cstring>

namespace quenarch {
namespace {

constexpr std::uint64_t ones = 0x0101010101010101u;
constexpr std::uint64_t highBits = 0x8080808080808080u;

// Eight bytes with their letters "A" to "Z" lowered. A byte's high bit ends up set in `upper`
// when its low seven bits are "A" to "Z" and it is ASCII; moved down to bit 5 it is the
// difference between the two cases.
std::uint64_t lowered(std::uint64_t word)
{
    const std::uint64_t low = word & ~highBits;
    const std::uint64_t upper = (low + (0x80 - 'A') * ones) & ~(low + (0x80 - 'Z' - 1) * ones) & ~word & highBits;
    return word | upper >> 2;
}

} // namespace

bool lowerAsciiLetters(char* bytes, std::size_t count)
{
    std::uint64_t word = 0;
    if (count < 8) {
        std::memcpy(&word, bytes, count);
        const std::uint64_t result = lowered(word);
        std::memcpy(bytes, &result, count);
        return (word & highBits) == 0;
    }
    std::uint64_t seen = 0;
    // Whole words, then the last eight bytes again: lowering a lowered letter changes nothing.
    for (std::size_t at = 0;; at += 8) {
        if (at + 8 > count) at = count - 8;
        std::memcpy(&word, bytes + at, 8);
        seen |= word;
        word = lowered(word);
        std::memcpy(bytes + at, &word, 8);
        if (at + 8 == count) break;
    }
    return (seen & highBits) == 0;
}

} // namespace quenarch
