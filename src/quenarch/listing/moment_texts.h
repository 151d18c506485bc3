#pragma once

#include "quenarch/base/locale.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace quenarch {

// The short date of each day and the "hh:mm" of each minute, written by a locale once and kept:
// writing a day's date walks the locale's pattern, and the rows of an archive share their days.
// Days are kept in a table indexed by the day's low bits, so that any run of 16,384 days (some
// 45 years) is kept whole.
class MomentTexts {
public:
    void setLocale(const Locale* locale);

    void appendShortDate(std::string& out, std::int32_t day);
    void appendShortTime(std::string& out, std::int32_t secondOfDay);

private:
    // Sixteen bytes, so that the days of 45 years fit in 256 KiB; longer dates are not kept. The
    // tables start zeroed, a length of 0 meaning nothing kept, and come from calloc: a block that
    // large is mapped zeroed by the system and its pages are given as they are first touched, so a
    // listing of a few days touches a few pages instead of writing 256 KiB of zeros.
    struct DayText {
        std::int32_t day;
        std::uint8_t length;
        char text[11];
    };
    struct MinuteText {
        std::uint8_t length;
        char text[15];
    };
    struct FreeDeleter {
        void operator()(void* table) const { std::free(table); }
    };
    template <typename Entry>
    using ZeroedTable = std::unique_ptr<Entry[], FreeDeleter>;
    template <typename Entry>
    static ZeroedTable<Entry> zeroedTable(std::size_t entries);

    static constexpr std::size_t keptDays = 16384;
    static constexpr std::size_t minutesPerDay = 1440;

    const Locale* locale_ = nullptr;
    ZeroedTable<DayText> days_;
    ZeroedTable<MinuteText> minutes_;
    std::string scratch_;
};

} // namespace quenarch
