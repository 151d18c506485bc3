#include "quenarch/base/hex_text.h"

namespace quenarch {

void appendUpperHex(std::string& out, std::uint32_t value)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    char buffer[8];
    int length = 0;
    do {
        buffer[7 - length++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    out.append(buffer + 8 - length, static_cast<std::size_t>(length));
}

} // namespace quenarch
