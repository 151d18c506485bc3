#include "qt/desktop_text_codec.h"

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

struct DecodeCase {
    const char* encoding;
    const char* bytes;
    const char* text;
};

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, GivesTheEncodingsCharacters)
{
    const std::shared_ptr<const TextCodec> codec = makeTextCodec(GetParam().encoding);
    ASSERT_TRUE(codec) << GetParam().encoding;
    EXPECT_EQ(codec->decode(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, Decoding,
    ::testing::Values(DecodeCase{"", "caf\xC3\xA9", "café"},          // valid UTF-8 stays
                      DecodeCase{"", "caf\xE9 \x80", "café €"},       // else Windows-1252
                      DecodeCase{"IBM437", "\x81\xE1\xC9", "üß╔"}, DecodeCase{"cp437", "\x81", "ü"},
                      DecodeCase{"IBM850", "\x9B", "ø"}, DecodeCase{"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
                      DecodeCase{"KOI8-R", "\xF0\xD2\xC9", "При"}, DecodeCase{"Shift_JIS", "\x82\xA0\x83\x41", "あア"},
                      DecodeCase{"GBK", "\xD6\xD0\xCE\xC4", "中文"}, DecodeCase{"UTF-8", "\xC3\xA9", "é"},
                      DecodeCase{"ISO-8859-15", "\xA4", "€"}));

TEST(DesktopTextCodecTest, EachTextStartsFromAFreshState)
{
    // A lead byte at the end of one name must not join the first byte of the next.
    const std::shared_ptr<const TextCodec> codec = makeTextCodec("Shift_JIS");
    ASSERT_TRUE(codec);
    codec->decode("A\x82");
    EXPECT_EQ(codec->decode("\xA0" "B").find("あ"), std::string::npos);
    EXPECT_EQ(codec->decode("\x82\xA0"), "あ");
}

TEST(DesktopTextCodecTest, UnknownEncodingsAreRefused)
{
    EXPECT_EQ(makeTextCodec("no-such-encoding"), nullptr);
}

} // namespace
} // namespace quenarch::qt
