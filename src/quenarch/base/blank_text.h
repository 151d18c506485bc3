#pragma once

#include <string_view>

namespace quenarch {

// The blanks around typed values: spaces and tabs.
inline constexpr std::string_view spacesAndTabs = " \t";
// The blanks around the lines and values of text files, which may end lines with CR LF.
inline constexpr std::string_view lineBlanks = " \t\r";

// The text without the given blank characters at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks);

// Whether the text holds nothing but spaces (an empty text is blank).
bool isBlank(std::string_view text);

} // namespace quenarch
