#include "quenarch/listing/proper_case.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"

namespace quenarch {
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
    const std::size_t first = utf8CharacterEnd(text, 0);
    out.append(toUpper(text.substr(0, first)));
    out.append(toLower(text.substr(first)));
}

} // namespace quenarch
