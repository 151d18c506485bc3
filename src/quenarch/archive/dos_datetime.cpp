#include "quenarch/archive/dos_datetime.h"

#include <ctime>

namespace quenarch {

AutomationDate DosDateToDate(std::uint16_t packed)
{
    const int day = packed & 0x1F;
    const int month = (packed >> 5) & 0x0F;
    const int year = 1980 + (packed >> 9);
    return makeDate(year, month, day);
}

std::optional<double> dosTimeOfDay(std::uint16_t packed)
{
    const int seconds = (packed & 0x1F) * 2;
    const int minutes = (packed >> 5) & 0x3F;
    const int hours = packed >> 11;
    if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
    return makeTimeOfDay(hours, minutes, seconds);
}

std::optional<LocalMoment> unixTimeToLocal(std::int64_t secondsSinceEpoch)
{
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (::localtime_r(&moment, &local) == nullptr) return std::nullopt;
    const int year = local.tm_year + 1900;
    if (year < 100 || year > 9999) return std::nullopt;
    // A leap second (tm_sec 60) is shown as the last second of its minute.
    return LocalMoment{makeDate(year, local.tm_mon + 1, local.tm_mday),
                       makeTimeOfDay(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec)};
}

} // namespace quenarch
