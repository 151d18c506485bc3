#pragma once

#include <string>
#include <string_view>

namespace quenarch {

// Case mapping of UTF-8 text for the letters of Latin-1, Latin Extended-A, Greek and Cyrillic;
// other characters, and bytes that are not UTF-8, pass through unchanged.
std::string toUpper(std::string_view text);
std::string toLower(std::string_view text);

// The form in which two texts compare equal when they differ only in letter case.
std::string foldCase(std::string_view text);

bool equalsCaseBlind(std::string_view a, std::string_view b);

} // namespace quenarch
