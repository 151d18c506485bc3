#include "quenarch/freedesktop/iconv_text_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

namespace quenarch::freedesktop {
namespace {

TEST(IconvTextCodecTest, DecodesEachTextInItsEncodingFromAFreshState)
{
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"", "caf\xC3\xA9", "café"}, {"", "caf\xE9 \x80", "café €"}, // valid UTF-8 stays, else Windows-1252
        {"IBM437", "\x81\xE1\xC9", "üß╔"}, {"cp437", "\x81", "ü"}, {"IBM850", "\x9B", "ø"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"}, {"KOI8-R", "\xF0\xD2\xC9", "При"},
        {"Shift_JIS", "\x82\xA0\x83\x41", "あア"}, {"GBK", "\xD6\xD0\xCE\xC4", "中文"}, {"ISO-8859-15", "\xA4", "€"},
        {"utf-8", "a\xFF\xC3", "a\uFFFD\uFFFD"},                       // each byte that starts no character is replaced
        {"utf-8", "a\xF5\xA0\xA6\xB7", "a\uFFFD\uFFFD\uFFFD\uFFFD"},   // and each of a sequence beyond U+10FFFF
        {"Shift_JIS", "A\x82", "A\uFFFD"},                           // a character cut short at the end
        {"UTF-16LE", std::string("a\0\0\xD8", 4), "a\uFFFD\uFFFD"}, // and an unpaired surrogate
        {"ISO-2022-JP", "\x1B$B$\"\x1B(Ba", "あa"},                   // shifts between character sets
    };
    for (const auto& [encoding, bytes, text] : cases) {
        const std::shared_ptr<const TextCodec> codec = makeTextCodec(encoding);
        ASSERT_TRUE(codec) << encoding;
        EXPECT_EQ(codec->decode(bytes), text) << encoding;
    }
    // A text longer than one pass of the conversion.
    std::string blocks;
    for (int i = 0; i < 3000; ++i) blocks += "█";
    EXPECT_EQ(makeTextCodec("IBM437")->decode(std::string(3000, '\xDB')), blocks);
    // A lead byte at the end of one name must not join the first byte of the next.
    const std::shared_ptr<const TextCodec> codec = makeTextCodec("Shift_JIS");
    codec->decode("A\x82");
    EXPECT_EQ(codec->decode("\xA0" "B").find("あ"), std::string::npos);
    EXPECT_EQ(codec->decode("\x82\xA0"), "あ");
    EXPECT_EQ(makeTextCodec("no-such-encoding"), nullptr);
}

} // namespace
} // namespace quenarch::freedesktop
