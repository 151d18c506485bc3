#pragma once

#include "quenarch/platform/text_codec.h"

#include <memory>
#include <string_view>

namespace quenarch::qt {

// The codec for archive texts: for the empty name, UTF-8 where the bytes are valid UTF-8 and
// Windows-1252 otherwise; for any other name, that encoding alone, as QStringDecoder knows it
// (with ICU: IBM437, Shift_JIS, windows-1251, KOI8-R and the rest). Nothing for an encoding
// QStringDecoder does not know.
std::shared_ptr<const TextCodec> makeTextCodec(std::string_view encodingName);

} // namespace quenarch::qt
