#include "quenarch/qt/desktop_platform.h"

#include "quenarch/listing/file_types.h"
#include "quenarch/qt/desktop_locale.h"
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
    ASSERT_TRUE(platform.fileTypes && platform.ini && platform.locale && platform.codec && platform.icons && platform.display);
    EXPECT_EQ(platform.registry, nullptr);
    EXPECT_EQ(platform.ini->readString("intl", "sTime", "win.ini"), ".");
    EXPECT_EQ(platform.codec->decode("\x81"), "ü");
    EXPECT_EQ(platform.locale->conventions(), desktopLocaleConventions(QLocale::system()));
    EXPECT_EQ(GetFileTypeName(*platform.fileTypes, "txt"), commentOf("text/plain"));
    EXPECT_EQ(platform.fileTypes->icon("TXT"), IconLocation({"text-plain", 0}));
    EXPECT_THROW(desktopPlatform({"klingon-1", {}}), std::invalid_argument);
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
