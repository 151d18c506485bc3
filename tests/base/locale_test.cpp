#include "quenarch/base/locale.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

LocaleConventions german()
{
    LocaleConventions c;
    c.thousandsSeparator = ".";
    c.decimalPoint = ",";
    c.shortDatePattern = "dd.MM.yy";
    c.longTimePattern = "HH:mm:ss";
    c.dateSeparator = ".";
    c.monthNames = {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November", "Dezember"};
    c.monthAbbreviations = {"Jan.", "Feb.", "März", "Apr.", "Mai", "Juni", "Juli", "Aug.", "Sept.", "Okt.", "Nov.", "Dez."};
    return c;
}

LocaleConventions iso()
{
    LocaleConventions c;
    c.shortDatePattern = "yyyy-MM-dd";
    c.longTimePattern = "HH:mm:ss t";
    c.dateSeparator = "-";
    return c;
}

LocaleConventions with(const char* shortDate, const char* longTime, const char* am = "AM", const char* pm = "PM")
{
    LocaleConventions c;
    c.shortDatePattern = shortDate;
    c.longTimePattern = longTime;
    c.amText = am;
    c.pmText = pm;
    return c;
}

TEST(Locale, GroupsDigitsInThrees)
{
    const Locale us;
    EXPECT_EQ(us.groupedNumber(std::uint64_t{0}), "0");
    EXPECT_EQ(us.groupedNumber(std::uint64_t{999}), "999");
    EXPECT_EQ(us.groupedNumber(std::uint64_t{1234567}), "1,234,567");
    EXPECT_EQ(us.groupedNumber(std::uint64_t{18446744073709551615u}), "18,446,744,073,709,551,615");
    EXPECT_EQ(Locale(german()).groupedNumber(std::uint64_t{1234567}), "1.234.567");
}

TEST(Locale, GeneralDateWritesEachFieldAsItsPatternAsks)
{
    const AutomationDate morning = combineDateAndTime(makeDate(2004, 2, 9), makeTimeOfDay(0, 7, 3));
    const AutomationDate evening = combineDateAndTime(makeDate(1999, 11, 30), makeTimeOfDay(21, 45, 59));
    const struct {
        LocaleConventions conventions;
        const char* morning;
        const char* evening;
    } cases[] = {
        {LocaleConventions{}, "2/9/2004 12:07:03 AM", "11/30/1999 9:45:59 PM"},
        {german(), "09.02.2004 00:07:03", "30.11.1999 21:45:59"},
        {iso(), "2004-02-09 00:07:03", "1999-11-30 21:45:59"},
        {with("d MMM yyyy", "H:m:s"), "9 Feb 2004 0:7:3", "30 Nov 1999 21:45:59"},
        {with("MMMM d, yyyy", "hh:mm:ss AP", "vorm.", "nachm."), "February 9, 2004 12:07:03 vorm.",
         "November 30, 1999 09:45:59 nachm."},
        {with("'Tag' d.M.", "'kl'. h.mm AP 'Uhr'"), "Tag 9.2. kl. 12.07 AM Uhr", "Tag 30.11. kl. 9.45 PM Uhr"},
        {with("yyyy/MM/dd", "H'時'mm'分'ss'秒'"), "2004/02/09 0時07分03秒", "1999/11/30 21時45分59秒"},
    };
    for (const auto& c : cases) {
        const Locale locale(c.conventions);
        EXPECT_EQ(locale.generalDate(morning), c.morning);
        EXPECT_EQ(locale.generalDate(evening), c.evening);
    }
    // Midnight shows the date alone, day 0 the time alone.
    EXPECT_EQ(Locale().generalDate(makeDate(2001, 12, 31)), "12/31/2001");
    EXPECT_EQ(Locale().generalDate(makeTimeOfDay(14, 22, 5)), "2:22:05 PM");
}

TEST(Locale, ReadsBackItsOwnGeneralDateWhateverThePatterns)
{
    // Patterns of real locales whose texts a word-splitting reader would misread: dotted
    // AM/PM markers, a time separator equal to the date separator, words between fields.
    const LocaleConventions cases[] = {
        LocaleConventions{},
        german(),
        iso(),
        with("yyyy-MM-dd", "h:mm:ss a", "a.m.", "p.m."),
        with("d.M.yyyy", "H.mm.ss"),
        with("yyyy/MM/dd", "H'時'mm'分'ss'秒'"),
        with("d.MM.yyyy 'г'.", "H:mm:ss 'ч'."),
        with("dd/MM/yyyy", "'kl'. HH:mm:ss"),
        with("d MMM yyyy", "HH:mm:ss"),
        with("MMMM d, yyyy", "h:mm:ss AP", "\xC3\xA0 l'aube", "le soir"),
    };
    const AutomationDate moments[] = {combineDateAndTime(makeDate(2023, 1, 5), makeTimeOfDay(9, 3, 7)),
                                      combineDateAndTime(makeDate(1980, 1, 1), makeTimeOfDay(0, 0, 2)),
                                      combineDateAndTime(makeDate(1999, 12, 31), makeTimeOfDay(23, 59, 59)),
                                      combineDateAndTime(makeDate(2107, 12, 31), makeTimeOfDay(12, 0, 0)),
                                      makeDate(2004, 2, 29)};
    for (const LocaleConventions& c : cases) {
        const Locale locale(c);
        for (const AutomationDate moment : moments) {
            const std::string text = locale.generalDate(moment);
            const auto back = locale.parseDate(text);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_EQ(splitDate(*back), splitDate(moment)) << text;
        }
    }
}

TEST(Locale, ParsesTheFormsHostsAndPicturesWrite)
{
    const Locale us;
    struct Case {
        const char* text;
        DateParts expected;
    };
    const Case cases[] = {
        {"12-31-2099", {2099, 12, 31}},
        {"12/31/99", {1999, 12, 31}},
        {"1/2/29", {2029, 1, 2}},
        {"2001-12-31 14:22:05", {2001, 12, 31, 14, 22, 5}},
        {"31-Dec-2099", {2099, 12, 31}},
        {"December 31, 2001", {2001, 12, 31}},
        {"12/31/2001 12:00:00 AM", {2001, 12, 31}},
        {"12/31/2001 12:30 PM", {2001, 12, 31, 12, 30, 0}},
        {"14:22:05", {1899, 12, 30, 14, 22, 5}},
    };
    for (const Case& c : cases) {
        const auto parsed = us.parseDate(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(splitDate(*parsed), c.expected) << c.text;
    }
    for (const char* bad : {"", " ", "0Kb", "13/32/2001", "2/29/2001", "12/31", "25:00:00", "12/31/2001 13:00 PM", "hello"})
        EXPECT_FALSE(us.parseDate(bad).has_value()) << bad;
    EXPECT_EQ(splitDate(*Locale(german()).parseDate("31.12.2001")), (DateParts{2001, 12, 31}));
}

TEST(Locale, DatePicturesFollowTheirLettersAndTheDateSeparator)
{
    const AutomationDate lastDay = makeDate(2099, 12, 31);
    LocaleConventions dotted;
    dotted.dateSeparator = ".";
    struct Case {
        const char* picture;
        const char* expected;
    };
    for (const Case& c : {Case{"mm-dd-yyyy", "12-31-2099"}, Case{"dd-mm-yyyy", "31-12-2099"}, Case{"d/m/yy", "31.12.99"},
                          Case{"M/d/yyyy", "12.31.2099"}, Case{"dd-mmm-yyyy", "31-Dec-2099"}, Case{"mmmm d", "December 31"},
                          Case{"yyyy x", "2099 x"}, Case{"d.M.yyyy 'г'.", "31.12.2099 г."}, Case{"dd \"de\" mmmm", "31 de December"}})
        EXPECT_EQ(Locale(dotted).formatDatePicture(lastDay, c.picture), c.expected) << c.picture;
}

TEST(Locale, ReadsNumbersTheWayHostsWriteThem)
{
    const Locale us;
    EXPECT_EQ(us.parseNumber(" 1,234.5 "), 1234.5);
    EXPECT_EQ(us.parseNumber("-3"), -3);
    EXPECT_EQ(us.parseNumber("1e3"), 1000);
    EXPECT_EQ(us.parseNumber("&HFF"), 255);
    EXPECT_EQ(us.parseNumber("&HFFFF"), -1);
    EXPECT_EQ(us.parseNumber("&H80000005"), static_cast<double>(static_cast<std::int32_t>(0x80000005)));
    EXPECT_FALSE(us.parseNumber("").has_value());
    EXPECT_FALSE(us.parseNumber("1,2x").has_value());
    EXPECT_EQ(Locale(german()).parseNumber("1.234,5"), 1234.5);
    EXPECT_EQ(us.formatNumber(0.1), "0.1");
    EXPECT_EQ(us.formatNumber(1e20), "1E+20");
    EXPECT_EQ(Locale(german()).formatNumber(2.5), "2,5");
}

} // namespace
} // namespace quenarch
