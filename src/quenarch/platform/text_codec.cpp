#include "quenarch/platform/text_codec.h"

#include "quenarch/base/code_pages.h"

namespace quenarch {

std::string Utf8OrWindows1252Codec::decode(std::string_view bytes) const
{
    return isValidUtf8(bytes) ? std::string(bytes) : decodeWindows1252(bytes);
}

std::string Utf8Codec::decode(std::string_view bytes) const { return decodeUtf8Lossy(bytes); }

} // namespace quenarch
