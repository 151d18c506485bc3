#pragma once

#include <string>
#include <string_view>

namespace quenarch {

// Turns the bytes of a name or comment stored in an archive into UTF-8 text. Archives do not
// record their code page, so the platform decides how bytes that are not marked UTF-8 read.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::string decode(std::string_view bytes) const = 0;
};

// Bytes that form valid UTF-8 stay as they are (zip on Linux stores UTF-8 names without marking
// them); any other text is read as Windows-1252.
class Utf8OrWindows1252Codec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override;
};

// Reads every text as UTF-8, replacing invalid sequences with U+FFFD.
class Utf8Codec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override;
};

bool isValidUtf8(std::string_view bytes);
// Length of the valid UTF-8 sequence that starts at bytes[i], or 0 when none starts there.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t i);
// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t codePoint);
std::string decodeWindows1252(std::string_view bytes);
std::string decodeUtf8Lossy(std::string_view bytes);

} // namespace quenarch
