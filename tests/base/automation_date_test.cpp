#include "quenarch/base/automation_date.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

struct CarryCase {
    int year, month, day;
    DateParts expected;
};

class DateCarry : public testing::TestWithParam<CarryCase> {};

TEST_P(DateCarry, OutOfRangePartsCarryIntoNeighbours)
{
    const CarryCase& c = GetParam();
    EXPECT_EQ(splitDate(makeDate(c.year, c.month, c.day)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Calendar, DateCarry,
                         testing::Values(CarryCase{1980, 0, 0, {1979, 11, 30}},   // month 0, day 0
                                         CarryCase{1980, 15, 31, {1981, 3, 31}},  // month 15
                                         CarryCase{2001, 4, 31, {2001, 5, 1}},    // day 31 of a 30-day month
                                         CarryCase{2001, 2, 30, {2001, 3, 2}},    // 30 February, common year
                                         CarryCase{2000, 2, 30, {2000, 3, 1}},    // 30 February, leap year
                                         CarryCase{2020, 3, 0, {2020, 2, 29}},    // day 0 after a leap February
                                         CarryCase{1900, 2, 29, {1900, 3, 1}},    // 1900 was no leap year
                                         CarryCase{2107, 12, 31, {2107, 12, 31}})); // the last DOS year

TEST(AutomationDate, DayZeroIsThe30thOfDecember1899)
{
    EXPECT_EQ(makeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(makeDate(2000, 1, 1), 36526.0);
}

TEST(AutomationDate, NegativeDatesCountTheTimeForwardWithinTheirDay)
{
    // -1.25 is 29 December 1899, 06:00: the fraction is a time of day whatever the sign.
    EXPECT_EQ(splitDate(-1.25), (DateParts{1899, 12, 29, 6, 0, 0}));
    EXPECT_EQ(combineDateAndTime(makeDate(1899, 12, 29), makeTimeOfDay(6, 0, 0)), -1.25);
    EXPECT_EQ(dayNumber(-1.25), -1);
    EXPECT_EQ(secondOfDay(-1.25), 6 * 3600);
}

TEST(AutomationDate, TimesRoundToTheNearestSecondAndCarryPastMidnight)
{
    const AutomationDate justBeforeMidnight = makeDate(2001, 12, 31) + 0.9999999;
    EXPECT_EQ(splitDate(justBeforeMidnight), (DateParts{2002, 1, 1, 0, 0, 0}));
    EXPECT_EQ(splitDate(combineDateAndTime(makeDate(2001, 12, 31), makeTimeOfDay(14, 22, 5))), (DateParts{2001, 12, 31, 14, 22, 5}));
    EXPECT_EQ(splitDate(combineDateAndTime(makeDate(2001, 12, 31), makeTimeOfDay(24, 0, 1))), (DateParts{2002, 1, 1, 0, 0, 1}));
}

} // namespace
} // namespace quenarch
