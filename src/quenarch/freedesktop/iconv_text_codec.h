#pragma once

#include "quenarch/platform/text_codec.h"

#include <memory>
#include <string_view>

namespace quenarch::freedesktop {

// The codec for archive texts: for the empty name, UTF-8 where the bytes are valid UTF-8 and
// Windows-1252 otherwise; for any other name, that encoding alone, as the C library's iconv
// knows it (IBM437, CP850, Shift_JIS, windows-1251, KOI8-R, GBK and the rest, in any letter
// case), each byte sequence it cannot read becoming U+FFFD. Nothing for an encoding iconv does
// not know.
std::shared_ptr<const TextCodec> makeTextCodec(std::string_view encodingName);

} // namespace quenarch::freedesktop
