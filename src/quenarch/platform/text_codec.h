#pragma once

#include "quenarch/base/utf8.h"

#include <string>
#include <string_view>

namespace quenarch {

// An encoding the host chose for the names and comments of archives, turning their bytes into
// UTF-8 text. Archives do not record the code page of names they do not mark as UTF-8; without
// a host's choice each format reads them in the code page of the tools that wrote it.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::string decode(std::string_view bytes) const = 0;
};

// Bytes that form valid UTF-8 stay as they are; any other text is read as Windows-1252.
class Utf8OrWindows1252Codec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override;
};

// Reads every text as UTF-8, replacing invalid sequences with U+FFFD.
class Utf8Codec final : public TextCodec {
public:
    std::string decode(std::string_view bytes) const override;
};

} // namespace quenarch
