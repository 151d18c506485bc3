#include "quenarch/archive/name_decoder.h"

#include "archive/peer_listing.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

TEST(NameDecoderTest, TheMarkTheHostsChoiceValidUtf8AndTheFormatsCodePageDecideInThatOrder)
{
    const test::UpperCaseCodec upper;
    const struct {
        std::string what;
        CodePage codePage;
        const TextCodec* chosen;
        bool marked;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"unmarked UTF-8 stays", CodePage::Ibm437, nullptr, false, "caf\xC3\xA9", "café"},
        {"unmarked other bytes: IBM437", CodePage::Ibm437, nullptr, false, "caf\x82", "café"},
        {"unmarked other bytes: Windows-1252", CodePage::Windows1252, nullptr, false, "caf\xE9 \x80", "café €"},
        {"the host's choice wins over valid UTF-8", CodePage::Ibm437, &upper, false, "caf\xC3\xA9", "CAF\xC3\xA9"},
        {"the host's choice wins over the code page", CodePage::Ibm437, &upper, false, "caf\x82", "CAF\x82"},
        {"marked UTF-8 stays, whatever the host chose", CodePage::Ibm437, &upper, true, "caf\xC3\xA9", "café"},
        {"marked but not UTF-8: the host's choice", CodePage::Ibm437, &upper, true, "caf\x82", "CAF\x82"},
        {"marked but not UTF-8: the code page", CodePage::Windows1252, nullptr, true, "caf\xE9", "café"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const NameDecoder names(c.codePage, c.chosen);
        EXPECT_EQ(c.marked ? names.decodeMarkedUtf8(c.bytes) : names.decode(c.bytes), c.text);
    }
}

} // namespace
} // namespace quenarch
