#pragma once

#include <string>
#include <string_view>

namespace quenarch::freedesktop {

// A file-name pattern of the shared MIME database, matched as Qt matches it. A pattern that is
// not case-sensitive is stored in lower case and meets the lower-cased file name. Patterns with
// "?" or "[...]" match without regard to letter case either way.
class GlobPattern {
public:
    GlobPattern(std::string_view pattern, bool caseSensitive);

    bool matches(std::string_view fileName) const;
    const std::string& text() const { return pattern_; }
    bool caseSensitive() const { return caseSensitive_; }

private:
    enum class Kind { Literal, Suffix, Prefix, NumberedVdr, NumberedAnim, Wildcard };

    std::string pattern_;
    bool caseSensitive_;
    Kind kind_;
};

// Whether the whole text matches a shell wildcard: "*" any run of characters, "?" one character,
// "[...]" one of a set (ranges allowed, "!" in front to negate); letters match in either case.
bool matchesWildcard(std::string_view pattern, std::string_view text);

// The length of UTF-8 text counted as Qt counts a string's length, in UTF-16 code units.
std::size_t utf16Length(std::string_view text);

} // namespace quenarch::freedesktop
