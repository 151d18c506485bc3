#include "quenarch/archive/name_decoder.h"

#include "quenarch/base/code_pages.h"

namespace quenarch {

std::string NameDecoder::decode(std::string_view bytes) const
{
    std::string converted;
    return std::string(decode(bytes, converted));
}

std::string NameDecoder::decodeMarkedUtf8(std::string_view bytes) const
{
    std::string converted;
    return std::string(decodeMarkedUtf8(bytes, converted));
}

std::string_view NameDecoder::decode(std::string_view bytes, std::string& converted) const
{
    if (chosen_ != nullptr)
        converted = chosen_->decode(bytes);
    else if (isValidUtf8(bytes))
        return bytes;
    else
        converted = codePage_ == CodePage::Ibm437 ? decodeIbm437(bytes) : decodeWindows1252(bytes);
    return converted;
}

std::string_view NameDecoder::decodeMarkedUtf8(std::string_view bytes, std::string& converted) const
{
    return isValidUtf8(bytes) ? bytes : decode(bytes, converted);
}

} // namespace quenarch
