#include "quenarch/base/text_case.h"

#include "quenarch/base/utf8.h"

#include <algorithm>
#include <cstdint>

namespace quenarch {
namespace {

char32_t upperOf(char32_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper/lower on even/odd code points, shifted by one in two runs.
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131) return 'I';
        if (c == 0x138 || c == 0x149) return c;
        if (c == 0x17F) return 'S';
        if (shifted) return (c % 2 == 0) ? c - 1 : c;
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3AC && c <= 0x3AF) return c == 0x3AC ? 0x386 : c - 37;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t lowerOf(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130) return 'i';
        if (c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (shifted) return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

// Decodes one UTF-8 sequence at text[i]; a byte that starts no valid sequence decodes as itself
// with the marker 'invalid', so it is copied through unchanged.
char32_t decodeAt(std::string_view text, std::size_t& i, bool& invalid)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    invalid = false;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) {
        invalid = true;
        ++i;
        return lead;
    }
    char32_t c = lead & (0xFF >> (length + 1));
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            invalid = true;
            ++i;
            return lead;
        }
        c = (c << 6) | (next & 0x3F);
    }
    i += length;
    return c;
}

template <bool upper, typename Map>
std::string mapText(std::string_view text, Map map)
{
    // Most names are ASCII: map those byte by byte without decoding.
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        std::string out(text);
        for (char& c : out) {
            if (upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z')) c = static_cast<char>(c ^ 0x20);
        }
        return out;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(map(lead)));
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool invalid = false;
        const char32_t c = decodeAt(text, i, invalid);
        if (invalid)
            out.append(text.substr(start, i - start));
        else
            appendUtf8(out, map(c));
    }
    return out;
}

} // namespace

std::string toUpper(std::string_view text)
{
    return mapText<true>(text, [](char32_t c) { return upperOf(c); });
}

std::string toLower(std::string_view text)
{
    return mapText<false>(text, [](char32_t c) { return lowerOf(c); });
}

std::string foldCase(std::string_view text) { return toLower(text); }

bool equalsCaseBlind(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && a == b) return true;
    return foldCase(a) == foldCase(b);
}

} // namespace quenarch
