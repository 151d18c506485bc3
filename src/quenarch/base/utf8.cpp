#include "quenarch/base/utf8.h"

#include <cstdint>
#include <cstring>

namespace quenarch {

std::size_t utf8SequenceLength(std::string_view bytes, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    return length;
}

void appendUtf8(std::string& out, char32_t codePoint)
{
    const char32_t c = codePoint;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

namespace {

constexpr std::uint64_t highBits = 0x8080808080808080u;

} // namespace

bool isAscii(std::string_view bytes)
{
    std::uint64_t seen = 0;
    if (bytes.size() < 8) {
        for (const char c : bytes) seen |= static_cast<unsigned char>(c);
        return (seen & 0x80) == 0;
    }
    // Whole words, then the last eight bytes, which may overlap the words before them.
    std::uint64_t word = 0;
    for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
        std::memcpy(&word, bytes.data() + i, 8);
        seen |= word;
    }
    std::memcpy(&word, bytes.data() + bytes.size() - 8, 8);
    seen |= word;
    return (seen & highBits) == 0;
}

std::size_t utf8CharacterCount(std::string_view text)
{
    // Nearly every text is ASCII, settled by one look at the high bits before anything is counted.
    if (isAscii(text)) return text.size();
    std::size_t continuations = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        // One bit per continuation byte, at the bottom of its byte; the multiply sums the bytes.
        const std::uint64_t marks = (word & ~(word << 1) & highBits) >> 7;
        continuations += static_cast<std::size_t>((marks * 0x0101010101010101u) >> 56);
    }
    for (; i < text.size(); ++i)
        if (isUtf8Continuation(text[i])) ++continuations;
    return text.size() - continuations;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    // Names are mostly ASCII: step over eight bytes at a time while no byte has its top bit set.
    for (std::uint64_t word = 0; i + 8 <= bytes.size(); i += 8) {
        std::memcpy(&word, bytes.data() + i, 8);
        if ((word & highBits) != 0) break;
    }
    while (i < bytes.size()) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string decodeUtf8Lossy(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 0) {
            out.append("\xEF\xBF\xBD");
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::size_t utf8CharacterEnd(std::string_view text, std::size_t at)
{
    do ++at;
    while (at < text.size() && isUtf8Continuation(text[at]));
    return at;
}

std::size_t utf8PrefixSize(std::string_view text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isUtf8Continuation(text[i])) continue;
        if (characters++ == count) return i;
    }
    return text.size();
}

} // namespace quenarch
