#pragma once

#include "quenarch/platform/text_codec.h"

#include <string>
#include <string_view>

namespace quenarch {

// The code page in which the tools of a format wrote names they did not mark as UTF-8.
enum class CodePage { Ibm437, Windows1252 };

// Turns the bytes of one format's names and comments into UTF-8 text.
class NameDecoder {
public:
    // chosen: the encoding the host chose, or null when it chose none.
    NameDecoder(CodePage codePage, const TextCodec* chosen) : codePage_(codePage), chosen_(chosen) {}

    // A text the archive does not mark as UTF-8: in the host's encoding when it chose one;
    // otherwise as it is when it is valid UTF-8 (tools on Linux store UTF-8 names unmarked),
    // and in the format's code page when it is not.
    std::string decode(std::string_view bytes) const;

    // A text the archive marks as UTF-8: as it is when it is UTF-8, otherwise as an unmarked
    // text, since some tools set the mark on names in other encodings.
    std::string decodeMarkedUtf8(std::string_view bytes) const;

    // The same texts as views: of the bytes themselves when they need no conversion, which is
    // nearly always, and of `converted` otherwise. A reader walking many names reuses one
    // `converted` and copies nothing.
    std::string_view decode(std::string_view bytes, std::string& converted) const;
    std::string_view decodeMarkedUtf8(std::string_view bytes, std::string& converted) const;

private:
    CodePage codePage_;
    const TextCodec* chosen_;
};

} // namespace quenarch
