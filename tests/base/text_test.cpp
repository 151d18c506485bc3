#include "quenarch/platform/ini_source.h"
#include "quenarch/platform/memory_registry.h"
#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"
#include "quenarch/platform/text_codec.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

TEST(TextCase, MapsLettersBeyondAscii)
{
    // Every code point's mapping is checked against Qt's in the Qt layer's tests.
    EXPECT_EQ(toUpper("c:\\data\\a.zip"), "C:\\DATA\\A.ZIP");
    EXPECT_EQ(toUpper("ärger_ÿ_ł_ж_ω"), "ÄRGER_Ÿ_Ł_Ж_Ω");
    // Folding also joins forms that lower-casing keeps apart, such as the final sigma.
    EXPECT_TRUE(equalsCaseBlind("ΣΊΣΥΦΟΣ", "σίσυφος"));
    EXPECT_NE(toLower("ΣΊΣΥΦΟΣ"), "σίσυφος");
    // Bytes that are not UTF-8 pass through unchanged.
    EXPECT_EQ(toUpper("a\xE9z"), "A\xE9Z");
    EXPECT_TRUE(equalsCaseBlind("Readme.TXT", "README.txt"));
}

TEST(TextCodec, KeepsValidUtf8AndReadsOtherBytesAsWindows1252)
{
    const Utf8OrWindows1252Codec codec;
    EXPECT_EQ(codec.decode("na\xC3\xAFve.txt"), "naïve.txt");
    EXPECT_EQ(codec.decode("na\xEFve.txt"), "naïve.txt");
    EXPECT_EQ(codec.decode("\x80 \x9F \x81"), "€ Ÿ \xC2\x81");
    // Overlong forms and surrogates are not valid UTF-8.
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
    EXPECT_EQ(decodeUtf8Lossy("a\xFF"), "a\xEF\xBF\xBD");
}

TEST(Utf8Text, CountsCharactersAndTellsAsciiOnEitherSideOfAWord)
{
    const struct {
        std::string_view text;
        bool ascii;
        std::size_t characters;
    } cases[] = {
        {"", true, 0},
        {"seven c", true, 7},
        {"eight ch", true, 8},
        {"a longer text of 27 letters", true, 27},
        {"\xC3\xA9", false, 1},                       // é
        {"caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e", false, 17}, // café crème brûlée, past a word
        {"\xE2\x82\xAC\xF0\x9F\x93\xA6 box", false, 6}, // € and a four-byte sign
        {"ascii till byte 9\xC3\xA9", false, 18},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isAscii(c.text), c.ascii) << c.text;
        EXPECT_EQ(utf8CharacterCount(c.text), c.characters) << c.text;
    }
}

TEST(IniValues, FollowTheDesktopsLookupRules)
{
    const std::string ini = "; regional settings\n"
                            "[Intl]\n"
                            "  sShortDate = dd-MM-yyyy \r\n"
                            "sTime=.\n"
                            "sDate=\"-\"\n"
                            "sShortDate=ignored, the first key wins\n"
                            "[other]\n"
                            "sList=;\n"
                            "[intl]\n"
                            "sList=from a second section, which does not count\n";
    EXPECT_EQ(findIniValue(ini, "intl", "sshortdate"), "dd-MM-yyyy");
    EXPECT_EQ(findIniValue(ini, "INTL", "sTime"), ".");
    EXPECT_EQ(findIniValue(ini, "intl", "sDate"), "-");
    EXPECT_EQ(findIniValue(ini, "other", "sList"), ";");
    EXPECT_FALSE(findIniValue(ini, "intl", "sList").has_value());
    EXPECT_FALSE(findIniValue(ini, "missing", "sTime").has_value());
}

TEST(MemoryRegistry, MatchesKeysAndValueNamesCaseBlind)
{
    MemoryRegistry registry;
    registry.setString(RegistryRoot::ClassesRoot, ".txt", "", "txtfile");
    registry.setValue(RegistryRoot::CurrentUser, "Control Panel\\International", "iDate", RegistryValue::dword(1));
    const Registry::Key txt = registry.openKey(RegistryRoot::ClassesRoot, ".TXT");
    ASSERT_NE(txt, Registry::noKey);
    EXPECT_EQ(registry.queryValue(txt, "")->text, "txtfile");
    EXPECT_FALSE(registry.queryValue(txt, "Other").has_value());
    EXPECT_NE(registry.openKey(RegistryRoot::CurrentUser, "control panel"), Registry::noKey); // parents exist
    EXPECT_EQ(registry.queryValue(registry.openKey(RegistryRoot::CurrentUser, "Control Panel\\International"), "IDATE")->number, 1u);
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, ".txt"), Registry::noKey); // roots are apart
    registry.deleteKey(RegistryRoot::CurrentUser, "Control Panel");
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, "Control Panel\\International"), Registry::noKey);
    EXPECT_FALSE(registry.queryValue(Registry::noKey, "").has_value());
}

} // namespace
} // namespace quenarch
