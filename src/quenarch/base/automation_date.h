#pragma once

#include <cstdint>

namespace quenarch {

// An automation date: days since 1899-12-30 00:00 as a double, the time of day as the fraction.
// Before day 0 the integer part counts backwards while the fraction still counts forwards in
// magnitude: -1.25 is 1899-12-29 06:00.
using AutomationDate = double;

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const DateParts&, const DateParts&) = default;
};

// Builds a date from year, month and day, carrying out-of-range parts instead of rejecting them:
// month 0 is December of the year before, day 0 the last day of the month before, day 31 of a
// 30-day month the first of the next.
AutomationDate makeDate(std::int64_t year, std::int64_t month, std::int64_t day);

// A time of day as a fraction of a day; the parts carry into each other like the date's.
double makeTimeOfDay(std::int64_t hour, std::int64_t minute, std::int64_t second);

// The date and the time of day combined into one value; works on both sides of day 0.
AutomationDate combineDateAndTime(AutomationDate date, double timeOfDay);

// Splits a date into calendar parts, rounded to the nearest second.
DateParts splitDate(AutomationDate date);

// Whole days (midnight) and seconds past midnight of a date, rounded to the nearest second.
std::int64_t dayNumber(AutomationDate date);
std::int32_t secondOfDay(AutomationDate date);

// The calendar parts of a day number and the seconds past midnight (0 to 86,399).
DateParts datePartsOf(std::int64_t day, std::int32_t secondOfDay);

// Builds a date from a day number and the seconds past midnight.
AutomationDate dateFromDayAndSecond(std::int64_t day, std::int32_t secondOfDay);

int daysInMonth(std::int64_t year, int month);

// The latest and earliest dates an automation date can hold (9999-12-31 and 0100-01-01).
inline constexpr AutomationDate maxAutomationDate = 2958465.99998843;
inline constexpr AutomationDate minAutomationDate = -657434.0;

} // namespace quenarch
