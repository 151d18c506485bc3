#include "quenarch/archive/name_decoder.h"

#include "quenarch/base/code_pages.h"

namespace quenarch {

std::string NameDecoder::decode(std::string_view bytes) const
{
    if (chosen_ != nullptr) return chosen_->decode(bytes);
    if (isValidUtf8(bytes)) return std::string(bytes);
    return codePage_ == CodePage::Ibm437 ? decodeIbm437(bytes) : decodeWindows1252(bytes);
}

std::string NameDecoder::decodeMarkedUtf8(std::string_view bytes) const
{
    return isValidUtf8(bytes) ? std::string(bytes) : decode(bytes);
}

} // namespace quenarch
