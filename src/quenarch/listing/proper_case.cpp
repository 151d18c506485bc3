#include "quenarch/listing/proper_case.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/text_case.h"

namespace quenarch {
namespace {

std::size_t firstCharacterLength(std::string_view text)
{
    std::size_t length = 1;
    while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
    return length;
}

} // namespace

void appendProperCase(std::string& out, std::string_view text)
{
    if (text.empty()) return;
    // Names are nearly always ASCII: those are mapped in place, without decoding.
    const std::size_t start = out.size();
    out.append(text);
    if (lowerAsciiLetters(out.data() + start, text.size())) {
        char& first = out[start];
        if (first >= 'a' && first <= 'z') first = static_cast<char>(first & ~0x20);
        return;
    }
    out.resize(start);
    const std::size_t first = firstCharacterLength(text);
    out.append(toUpper(text.substr(0, first)));
    out.append(toLower(text.substr(first)));
}

} // namespace quenarch
