#include "quenarch/freedesktop/glob_pattern.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/text_case.h"

#include <algorithm>
#include <vector>

namespace quenarch::freedesktop {
namespace {

// The code points of UTF-8 text; a byte that starts no valid sequence stands for itself.
std::vector<char32_t> codePointsOf(std::string_view text)
{
    std::vector<char32_t> codePoints;
    codePoints.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length == 1 || i + length > text.size()) {
            codePoints.push_back(lead);
            ++i;
            continue;
        }
        char32_t c = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        codePoints.push_back(c);
        i += length;
    }
    return codePoints;
}

bool sameLetter(char32_t a, char32_t b) { return a == b || foldedCaseOf(a) == foldedCaseOf(b); }

// Matches "[...]" at pattern[at], which holds one character; at moves past the "]". A set left
// open makes the whole pattern fail, as Qt's conversion to a regular expression does.
bool matchSet(const std::vector<char32_t>& pattern, std::size_t& at, char32_t c, bool& valid)
{
    std::size_t i = at + 1;
    bool negated = false;
    if (i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^')) {
        negated = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    for (; i < pattern.size() && (pattern[i] != ']' || first); first = false) {
        const char32_t low = pattern[i];
        char32_t high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 3;
        } else {
            ++i;
        }
        for (const char32_t variant : {c, lowerCaseOf(c), upperCaseOf(c), foldedCaseOf(c)})
            found = found || (variant >= low && variant <= high);
    }
    valid = i < pattern.size();
    at = i + 1;
    return found != negated;
}

} // namespace

bool matchesWildcard(std::string_view patternText, std::string_view text)
{
    // Greedy, going back only to the last "*" met: linear in practice, never exponential. A
    // "*" takes no "/", and as no earlier "*" can reach past one either, meeting one ends it.
    const std::vector<char32_t> pattern = codePointsOf(patternText);
    const std::vector<char32_t> name = codePointsOf(text);
    std::size_t p = 0, t = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (t < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
            continue;
        }
        if (p < pattern.size() && name[t] != '/') {
            std::size_t next = p + 1;
            bool matched = pattern[p] == '?' || (pattern[p] != '[' && sameLetter(pattern[p], name[t]));
            if (pattern[p] == '[') {
                bool valid = true;
                next = p;
                matched = matchSet(pattern, next, name[t], valid) && valid;
            }
            if (matched) {
                p = next;
                ++t;
                continue;
            }
        }
        if (star == std::string_view::npos || name[resume] == '/') return false;
        p = star + 1;
        t = ++resume;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::size_t utf16Length(std::string_view text)
{
    std::size_t length = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++length;
        if (byte >= 0xF0) ++length; // a character beyond the BMP takes two units
    }
    return length;
}

GlobPattern::GlobPattern(std::string_view pattern, bool caseSensitive)
    : pattern_(caseSensitive ? std::string(pattern) : toLower(pattern)), caseSensitive_(caseSensitive)
{
    const auto stars = std::count(pattern_.begin(), pattern_.end(), '*');
    const bool plain = pattern_.find_first_of("?[") == std::string::npos;
    if (plain && stars == 0)
        kind_ = Kind::Literal;
    else if (plain && stars == 1 && pattern_.front() == '*')
        kind_ = Kind::Suffix;
    else if (plain && stars == 1 && pattern_.back() == '*')
        kind_ = Kind::Prefix;
    else if (pattern_ == "[0-9][0-9][0-9].vdr")
        kind_ = Kind::NumberedVdr;
    else if (pattern_ == "*.anim[1-9j]")
        kind_ = Kind::NumberedAnim;
    else
        kind_ = Kind::Wildcard;
}

bool GlobPattern::matches(std::string_view fileName) const
{
    if (pattern_.empty()) return false;
    const std::string lowered = caseSensitive_ ? std::string() : toLower(fileName);
    const std::string_view name = caseSensitive_ ? fileName : std::string_view(lowered);
    switch (kind_) {
    case Kind::Literal: return name == pattern_;
    case Kind::Suffix: return name.ends_with(std::string_view(pattern_).substr(1));
    case Kind::Prefix: return name.starts_with(std::string_view(pattern_).substr(0, pattern_.size() - 1));
    case Kind::NumberedVdr:
        return name.size() == 7 && isAsciiDigit(name[0]) && isAsciiDigit(name[1]) && isAsciiDigit(name[2]) && name.substr(3) == ".vdr";
    case Kind::NumberedAnim:
        return name.size() >= 6 && ((name.back() >= '1' && name.back() <= '9') || name.back() == 'j') &&
               name.substr(name.size() - 6, 5) == ".anim";
    case Kind::Wildcard: return matchesWildcard(pattern_, name);
    }
    return false;
}

} // namespace quenarch::freedesktop
