#pragma once

#include <string>
#include <string_view>

namespace quenarch {

// Appends text with its first character in upper case and the rest in lower case (ProperCase).
void appendProperCase(std::string& out, std::string_view text);

} // namespace quenarch
