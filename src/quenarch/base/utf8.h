#pragma once

#include <string>
#include <string_view>

namespace quenarch {

bool isValidUtf8(std::string_view bytes);
// Whether every byte is below 0x80.
bool isAscii(std::string_view bytes);
// Characters, not bytes: every byte but a UTF-8 continuation byte (10xxxxxx) starts one.
std::size_t utf8CharacterCount(std::string_view text);

// Length of the valid UTF-8 sequence that starts at bytes[i], or 0 when none starts there.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t i);

// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t codePoint);

// Whether a byte continues a UTF-8 sequence rather than starting a character.
constexpr bool isUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where the character that starts at text[at] ends: after its continuation bytes.
std::size_t utf8CharacterEnd(std::string_view text, std::size_t at);

// How many bytes the first count characters of a UTF-8 text take: a cut there never splits a
// character.
std::size_t utf8PrefixSize(std::string_view text, std::size_t count);

// Reads every text as UTF-8, replacing each byte that starts no valid sequence with U+FFFD.
std::string decodeUtf8Lossy(std::string_view bytes);

} // namespace quenarch
