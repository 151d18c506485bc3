#include "quenarch/base/text_case.h"

#include "quenarch/base/utf8.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quenarch {
namespace {

struct CaseRun {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint8_t stride;
};

#include "quenarch/base/case_tables.inc"

// The run that starts last at or before c holds c if any run does: no run's range holds a code
// point of another.
template <std::size_t size>
char32_t mapByRuns(const CaseRun (&runs)[size], char32_t c)
{
    const CaseRun* run = std::upper_bound(std::begin(runs), std::end(runs), c, [](char32_t value, const CaseRun& r) { return value < r.first; });
    if (run == std::begin(runs)) return c;
    --run;
    if (c > run->last || (c - run->first) % run->stride != 0) return c;
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + run->delta);
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

char32_t upperCaseOf(char32_t c) { return mapByRuns(upperCaseRuns, c); }
char32_t lowerCaseOf(char32_t c) { return mapByRuns(lowerCaseRuns, c); }
char32_t foldedCaseOf(char32_t c) { return mapByRuns(foldedCaseRuns, c); }

std::string toUpper(std::string_view text) { return mapText<true>(text, upperCaseOf); }
std::string toLower(std::string_view text) { return mapText<false>(text, lowerCaseOf); }
std::string foldCase(std::string_view text) { return mapText<false>(text, foldedCaseOf); }

bool equalsCaseBlind(std::string_view a, std::string_view b)
{
    if (a.size() == b.size() && a == b) return true;
    return foldCase(a) == foldCase(b);
}

} // namespace quenarch
