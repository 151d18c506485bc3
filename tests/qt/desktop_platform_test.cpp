#include "quenarch/qt/desktop_platform.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/qt/desktop_locale.h"
#include "quenarch/qt/desktop_registry.h"
#include "quenarch/qt/desktop_text_codec.h"
#include "support/test_platform.h"

#include <QMimeDatabase>

#include <gtest/gtest.h>

#include <stdexcept>

namespace quenarch::qt {
namespace {

std::string commentOf(const char* mimeType) { return QMimeDatabase().mimeTypeForName(QString::fromLatin1(mimeType)).comment().toStdString(); }
LocaleConventions conventionsOf(const char* name) { return desktopLocaleConventions(QLocale(QString::fromLatin1(name))); }

TEST(DesktopPlatformTest, BundlesTheDesktopServices)
{
    const test::TempDir folder;
    folder.write("win.ini", "[intl]\nsTime=.\n");
    const Platform platform = desktopPlatform({"IBM437", folder.path()});
    ASSERT_TRUE(platform.registry && platform.ini && platform.locale && platform.codec && platform.icons && platform.display);
    EXPECT_EQ(platform.ini->readString("intl", "sTime", "win.ini"), ".");
    EXPECT_EQ(platform.codec->decode("\x81"), "ü");
    EXPECT_EQ(platform.locale->conventions().shortDatePattern, QLocale::system().dateFormat(QLocale::ShortFormat).toStdString());
    EXPECT_THROW(desktopPlatform({"klingon-1", {}}), std::invalid_argument);
}

TEST(DesktopTextCodecTest, DecodesEachTextInItsEncodingFromAFreshState)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "caf\xC3\xA9", "café"}, {"", "caf\xE9 \x80", "café €"}, // valid UTF-8 stays, else Windows-1252
        {"IBM437", "\x81\xE1\xC9", "üß╔"}, {"cp437", "\x81", "ü"}, {"IBM850", "\x9B", "ø"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"}, {"KOI8-R", "\xF0\xD2\xC9", "При"},
        {"Shift_JIS", "\x82\xA0\x83\x41", "あア"}, {"GBK", "\xD6\xD0\xCE\xC4", "中文"}, {"ISO-8859-15", "\xA4", "€"},
    };
    for (const auto& [encoding, bytes, text] : cases) {
        const std::shared_ptr<const TextCodec> codec = makeTextCodec(encoding);
        ASSERT_TRUE(codec) << encoding;
        EXPECT_EQ(codec->decode(bytes), text) << encoding;
    }
    // A lead byte at the end of one name must not join the first byte of the next.
    const std::shared_ptr<const TextCodec> codec = makeTextCodec("Shift_JIS");
    codec->decode("A\x82");
    EXPECT_EQ(codec->decode("\xA0" "B").find("あ"), std::string::npos);
    EXPECT_EQ(codec->decode("\x82\xA0"), "あ");
    EXPECT_EQ(makeTextCodec("no-such-encoding"), nullptr);
}

// Against this machine's shared-mime-info database.
TEST(DesktopRegistryTest, ClassesRootKeysHoldTheDatabasesAnswersAsDefaultValues)
{
    const DesktopRegistry registry;
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {".txt", "text/plain"}, {".TXT", "text/plain"}, {".Png", "image/png"},
        {".C", "text/x-csrc"},             // keys are case-blind, although the database's "*.C" (C++) is not
        {".1", "application/x-troff-man"}, // a wildcard glob "*.[1-9]" counts
        {"TEXT/Plain", commentOf("text/plain")}, {"\\text/plain\\", commentOf("text/plain")},
        {"text/plain\\DefaultIcon", "text-plain,0"}, {"Image/PNG\\defaulticon", "image-png,0"},
        {".xyz", std::nullopt}, {".", std::nullopt}, {".v2/readme", std::nullopt}, {".txt\\ShellNew", std::nullopt},
        {"no/such-type", std::nullopt}, {"text/plain\\Shell", std::nullopt}, {"", std::nullopt}, {"International", std::nullopt},
    };
    for (const auto& [path, expected] : cases) {
        const Registry::Key key = registry.openKey(RegistryRoot::ClassesRoot, path);
        EXPECT_EQ(key == Registry::noKey, !expected) << path;
        const std::optional<RegistryValue> value = registry.queryValue(key, "");
        EXPECT_EQ(value ? std::optional(value->text) : std::nullopt, expected) << path;
        EXPECT_EQ(registry.queryValue(key, "FriendlyTypeName"), std::nullopt) << path; // the default value alone
    }
    // What the core reads from them.
    const RegistryFileTypes fileTypes(std::make_shared<DesktopRegistry>(), std::make_shared<Locale>());
    EXPECT_EQ(GetFileTypeName(fileTypes, "txt"), commentOf("text/plain"));
    EXPECT_EQ(GetFileTypeName(fileTypes, "xyz"), "xyz file");
    EXPECT_EQ(fileTypes.icon("TXT"), IconLocation({"text-plain", 0}));
    EXPECT_FALSE(fileTypes.icon("xyz"));
}

TEST(DesktopRegistryTest, InternationalHoldsTheLocalesShortDatePatternOnly)
{
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates), QLocale::c()}) {
        const DesktopRegistry registry(locale);
        const std::string shortDate = locale.dateFormat(QLocale::ShortFormat).toStdString();
        EXPECT_EQ(ReadUserRegistryValue(registry, "international", "SSHORTDATE"), RegistryData(shortDate));
        EXPECT_EQ(ReadUserRegistryValue(registry, "International", "sTimeFormat"), RegistryData());
        EXPECT_EQ(ReadUserRegistryValue(registry, "Control Panel", "sShortDate"), RegistryData());
    }
}

// Whatever the row builder writes in the general date form, the item queries read back to the
// second: at midnight (date alone), in the morning and the afternoon (12-hour clocks), at noon
// and just before midnight, in the 20th and 21st centuries, on a leap day.
class GeneralDateRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(GeneralDateRoundTrip, ParsesBackWhatItFormats)
{
    const Locale locale(conventionsOf(GetParam()));
    const AutomationDate dates[] = {
        makeDate(2023, 1, 5), combineDateAndTime(makeDate(2023, 1, 5), makeTimeOfDay(9, 3, 7)),
        combineDateAndTime(makeDate(1980, 10, 31), makeTimeOfDay(14, 59, 0)), combineDateAndTime(makeDate(2000, 2, 29), makeTimeOfDay(12, 0, 0)),
        combineDateAndTime(makeDate(2107, 12, 31), makeTimeOfDay(23, 59, 59)), combineDateAndTime(makeDate(1999, 7, 1), makeTimeOfDay(0, 0, 1))};
    for (const AutomationDate date : dates) {
        const std::string text = locale.generalDate(date);
        const std::optional<AutomationDate> parsed = locale.parseDate(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(dayNumber(*parsed), dayNumber(date)) << text;
        EXPECT_EQ(secondOfDay(*parsed), secondOfDay(date)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, GeneralDateRoundTrip,
                         ::testing::Values("C", "en_US", "en_GB", "de_DE", "fr_FR", "ru_RU", "es_ES", "it_IT", "nl_NL",
                                           "pl_PL", "pt_BR", "sv_SE", "tr_TR", "hu_HU", "cs_CZ", "he_IL", "zh_CN",
                                           "zh_TW", "ar_EG", "en_ZA", "sk_SK"));

// The long time pattern loses its time-zone field, "t", "(t)" or "[t]", and "B" becomes "AP"; quoted
// text stays. The separators are the text after the first date field and after the hour: C writes
// "d MMM yyyy", Hungarian "yyyy. MM. dd.", Finnish "H.mm.ss"; in "H時mm分ss秒" a word is no separator.
TEST(DesktopLocaleTest, PatternsSeparatorsNumbersAndNamesComeFromTheLocale)
{
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"C", " ", ":", "HH:mm:ss"}, {"en_US", "/", ":", "h:mm:ss AP"}, {"de_DE", ".", ":", "HH:mm:ss"}, {"hu_HU", ". ", ":", "H:mm:ss"},
        {"fi_FI", ".", ".", "H.mm.ss"}, {"ja_JP", "/", ":", "H時mm分ss秒"}, {"es_ES", "/", ":", "H:mm:ss"}, {"zh_TW", "/", ":", "APh:mm:ss"},
        {"bg_BG", ".", ":", "H:mm:ss 'ч'."}};
    for (const auto& [name, date, time, longTime] : cases) {
        const LocaleConventions conventions = conventionsOf(name);
        EXPECT_EQ(std::tuple(conventions.dateSeparator, conventions.timeSeparator, conventions.longTimePattern), std::tuple(date, time, longTime)) << name;
    }
    const LocaleConventions german = conventionsOf("de_DE"), british = conventionsOf("en_GB");
    EXPECT_EQ(std::tuple(german.monthNames[2], german.decimalPoint, british.amText, british.monthAbbreviations[8]), std::tuple("März", ",", "am", "Sept"));
    EXPECT_EQ(Locale(german).groupedNumber(std::int64_t{1234567}), "1.234.567");
}

} // namespace
} // namespace quenarch::qt
