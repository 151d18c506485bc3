#include "quenarch/base/automation_date.h"

#include <cmath>

namespace quenarch {
namespace {

constexpr std::int64_t secondsPerDay = 86400;

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y += m <= 2 ? 1 : 0;
}

// Day 0 of the automation calendar, counted from 1970-01-01.
const std::int64_t epochOffset = daysFromCivil(1899, 12, 30);

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

} // namespace

int daysInMonth(std::int64_t year, int month)
{
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : lengths[month - 1];
}

AutomationDate makeDate(std::int64_t year, std::int64_t month, std::int64_t day)
{
    const std::int64_t monthIndex = year * 12 + (month - 1);
    const std::int64_t y = floorDiv(monthIndex, 12);
    const std::int64_t m = monthIndex - y * 12 + 1;
    return static_cast<AutomationDate>(daysFromCivil(y, m, 1) + (day - 1) - epochOffset);
}

double makeTimeOfDay(std::int64_t hour, std::int64_t minute, std::int64_t second)
{
    return static_cast<double>(hour * 3600 + minute * 60 + second) / secondsPerDay;
}

AutomationDate dateFromDayAndSecond(std::int64_t day, std::int32_t second)
{
    const double fraction = static_cast<double>(second) / secondsPerDay;
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

namespace {

struct DayAndSecond {
    std::int64_t day;
    std::int32_t second;
};

// The day keeps the sign of the date while the fraction counts forward within that day, so
// 24:00 of any day, negative ones included, is midnight of the day after.
DayAndSecond decompose(AutomationDate date)
{
    const double whole = std::trunc(date);
    std::int64_t day = static_cast<std::int64_t>(whole);
    std::int64_t second = std::llround(std::fabs(date - whole) * secondsPerDay);
    if (second >= secondsPerDay) {
        second -= secondsPerDay;
        ++day;
    }
    return {day, static_cast<std::int32_t>(second)};
}

} // namespace

AutomationDate combineDateAndTime(AutomationDate date, double timeOfDay)
{
    const DayAndSecond start = decompose(date);
    const std::int64_t total = start.day * secondsPerDay + start.second + std::llround(timeOfDay * secondsPerDay);
    const std::int64_t day = floorDiv(total, secondsPerDay);
    return dateFromDayAndSecond(day, static_cast<std::int32_t>(total - day * secondsPerDay));
}

std::int64_t dayNumber(AutomationDate date)
{
    return decompose(date).day;
}

std::int32_t secondOfDay(AutomationDate date)
{
    return decompose(date).second;
}

DateParts datePartsOf(std::int64_t dayNumber, std::int32_t seconds)
{
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(dayNumber + epochOffset, year, month, day);
    return DateParts{static_cast<int>(year), month, day, seconds / 3600, seconds / 60 % 60, seconds % 60};
}

DateParts splitDate(AutomationDate date)
{
    const DayAndSecond parts = decompose(date);
    return datePartsOf(parts.day, parts.second);
}

} // namespace quenarch
