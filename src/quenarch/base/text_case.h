#pragma once

#include <string>
#include <string_view>

namespace quenarch {

// Unicode's simple case mappings, one code point to one: a character without a mapping maps to
// itself.
char32_t upperCaseOf(char32_t c);
char32_t lowerCaseOf(char32_t c);
char32_t foldedCaseOf(char32_t c);

// Case mapping of UTF-8 text, character by character; bytes that are not UTF-8 pass through
// unchanged.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);

// The form in which two texts compare equal when they differ only in letter case.
std::string foldCase(std::string_view text);

bool equalsCaseBlind(std::string_view a, std::string_view b);

} // namespace quenarch
