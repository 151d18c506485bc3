#pragma once

#include <string>
#include <string_view>

namespace quenarch::lister {

// Appends text as a JSON string literal, quotes included, that is always valid UTF-8: each byte
// that starts no valid UTF-8 sequence is written as \uFFFD. Returns whether the text was valid
// UTF-8, that is, whether the literal holds it exactly.
bool appendJsonString(std::string& out, std::string_view text);

// Appends "key":"text"; when the text is not valid UTF-8, then also "keyHex":"..." with its exact
// bytes as lower-case hexadecimal digits.
void appendJsonField(std::string& out, std::string_view key, std::string_view text);

// Appends text for one line of a terminal: control characters become escapes such as \n.
void appendEscapedLine(std::string& out, std::string_view text);

} // namespace quenarch::lister
