#pragma once

#include "quenarch/base/automation_date.h"

#include <cstdint>
#include <optional>

namespace quenarch {

// The date of a packed MS-DOS date word: day in bits 0-4, month in 5-8, years since 1980 in
// 9-15. Out-of-range days and months carry into the neighbouring month or year.
AutomationDate DosDateToDate(std::uint16_t packed);

// The time of day of a packed MS-DOS time word (seconds / 2 in bits 0-4, minutes in 5-10, hours
// in 11-15), or nothing when the word holds no time of day (hours above 23, minutes or seconds
// above 59).
std::optional<double> dosTimeOfDay(std::uint16_t packed);

// The local calendar date and time of day of a moment given as seconds since 1970 (UTC).
struct LocalMoment {
    AutomationDate date;
    double timeOfDay;
};
std::optional<LocalMoment> unixTimeToLocal(std::int64_t secondsSinceEpoch);

} // namespace quenarch
