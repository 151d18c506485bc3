#include "quenarch/listing/text_arena.h"

#include <cstring>

namespace quenarch {

StoredText TextArena::store(std::string_view text)
{
    if (text.empty()) return {};
    unsigned char prefix[10];
    std::size_t prefixLength = 0;
    for (std::size_t length = text.size();; length >>= 7) {
        prefix[prefixLength++] = static_cast<unsigned char>((length & 0x7F) | (length > 0x7F ? 0x80 : 0));
        if (length <= 0x7F) break;
    }
    auto* at = static_cast<unsigned char*>(buffer_.allocate(prefixLength + text.size(), 1));
    std::memcpy(at, prefix, prefixLength);
    std::memcpy(at + prefixLength, text.data(), text.size());
    return StoredText(at);
}

} // namespace quenarch
