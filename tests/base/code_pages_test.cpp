#include "quenarch/base/code_pages.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>
#include <string>

namespace quenarch {
namespace {

// One byte through the C library's converter, or nothing where the code page leaves it unassigned.
std::optional<std::string> iconvDecode(const char* codePage, unsigned char byte)
{
    const iconv_t converter = ::iconv_open("UTF-8", codePage);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    char out[8];
    char* inAt = in;
    char* outAt = out;
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const std::size_t result = ::iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
    ::iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) return std::nullopt;
    return std::string(out, outAt);
}

// Every byte as the C library's converters read it.
TEST(CodePages, AgreeWithTheCLibraryOnEveryByte)
{
    ASSERT_TRUE(iconvDecode("CP437", 0x41)) << "the C library has no CP437 converter";
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(decodeIbm437(one), iconvDecode("CP437", static_cast<unsigned char>(byte)));
        // Windows-1252 leaves five bytes unassigned; Windows reads them as the C1 controls.
        const std::optional<std::string> windows1252 = iconvDecode("CP1252", static_cast<unsigned char>(byte));
        if (windows1252) {
            EXPECT_EQ(decodeWindows1252(one), *windows1252);
        }
    }
    EXPECT_EQ(decodeWindows1252("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(decodeIbm437("filename_with_\x91o\x86.txt"), "filename_with_æoå.txt");
}

} // namespace
} // namespace quenarch
