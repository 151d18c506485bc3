#include "qt/desktop_locale.h"

#include <gtest/gtest.h>

namespace quenarch::qt {
namespace {

LocaleConventions conventionsOf(const char* name) { return desktopLocaleConventions(QLocale(QString::fromLatin1(name))); }

// Whatever the row builder writes in the general date form, the item queries read back to the
// second: at midnight (date alone), in the morning and the afternoon (12-hour clocks), at noon
// and just before midnight, in the 20th and 21st centuries, on a leap day. Among the locales,
// time zones written "t", "(t)" (es_ES) and "[t]" after the day period "B" (zh_TW).
class GeneralDateRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(GeneralDateRoundTrip, ParsesBackWhatItFormats)
{
    const Locale locale(conventionsOf(GetParam()));
    const AutomationDate dates[] = {
        makeDate(2023, 1, 5),
        combineDateAndTime(makeDate(2023, 1, 5), makeTimeOfDay(9, 3, 7)),
        combineDateAndTime(makeDate(1980, 10, 31), makeTimeOfDay(14, 59, 0)),
        combineDateAndTime(makeDate(2000, 2, 29), makeTimeOfDay(12, 0, 0)),
        combineDateAndTime(makeDate(2107, 12, 31), makeTimeOfDay(23, 59, 59)),
        combineDateAndTime(makeDate(1999, 7, 1), makeTimeOfDay(0, 0, 1)),
    };
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

struct SeparatorCase {
    const char* locale;
    const char* dateSeparator;
    const char* timeSeparator;
};

class Separators : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(Separators, AreTheTextAfterTheFirstDateFieldAndAfterTheHour)
{
    const LocaleConventions conventions = conventionsOf(GetParam().locale);
    EXPECT_EQ(conventions.dateSeparator, GetParam().dateSeparator);
    EXPECT_EQ(conventions.timeSeparator, GetParam().timeSeparator);
}

// The C locale writes "d MMM yyyy"; Hungarian "yyyy. MM. dd."; Finnish "H.mm.ss"; Japanese
// "H時mm分ss秒", where a word is no separator.
INSTANTIATE_TEST_SUITE_P(Locales, Separators,
                         ::testing::Values(SeparatorCase{"C", " ", ":"}, SeparatorCase{"en_US", "/", ":"},
                                           SeparatorCase{"de_DE", ".", ":"}, SeparatorCase{"hu_HU", ". ", ":"},
                                           SeparatorCase{"fi_FI", ".", "."}, SeparatorCase{"ja_JP", "/", ":"}));

TEST(DesktopLocaleTest, NumbersAndNamesComeFromTheLocale)
{
    const LocaleConventions german = conventionsOf("de_DE");
    EXPECT_EQ(german.thousandsSeparator, ".");
    EXPECT_EQ(german.decimalPoint, ",");
    EXPECT_EQ(german.monthNames[2], "März");
    EXPECT_EQ(Locale(german).groupedNumber(std::int64_t{1234567}), "1.234.567");

    const LocaleConventions british = conventionsOf("en_GB");
    EXPECT_EQ(british.amText, "am");
    EXPECT_EQ(british.monthAbbreviations[8], "Sept");
}

} // namespace
} // namespace quenarch::qt
