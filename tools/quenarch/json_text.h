#pragma once

#include <string>
#include <string_view>

namespace quenarch::lister {

// Appends text as a JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view text);

// Appends text for one line of a terminal: control characters become escapes such as \n.
void appendEscapedLine(std::string& out, std::string_view text);

} // namespace quenarch::lister
