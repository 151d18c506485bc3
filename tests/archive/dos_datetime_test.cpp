#include "quenarch/archive/dos_datetime.h"

#include <gtest/gtest.h>

#include <optional>

namespace quenarch {
namespace {

struct PackedDate {
    std::uint16_t packed;
    int year, month, day;
};

// Day in bits 0-4, month in 5-8, years since 1980 in 9-15.
constexpr std::uint16_t pack(int yearOffset, int month, int day)
{
    return static_cast<std::uint16_t>(yearOffset << 9 | month << 5 | day);
}

TEST(DosDateTest, FieldsAreTakenFromTheirBitsAndCarried)
{
    // How the bits are laid out; the calendar's carries are the automation date's own tests.
    const PackedDate cases[] = {
        {0x2821, 2000, 1, 1},
        {0x0000, 1979, 11, 30},          // month 0 and day 0 of 1980
        {pack(0, 13, 1), 1981, 1, 1},    // month 13 is January of the year after
        {0x8021, 2044, 1, 1},            // bit 15 belongs to the year like any other bit
        {pack(41, 3, 0), 2021, 2, 28},   // day 0 is the last day of the month before
        {pack(41, 0, 1), 2020, 12, 1},
        {0xFFFF, 2108, 3, 31},           // year offset 127, month 15, day 31
    };
    for (const PackedDate& c : cases) {
        SCOPED_TRACE(testing::Message() << "packed date 0x" << std::hex << c.packed);
        const DateParts parts = splitDate(DosDateToDate(c.packed));
        EXPECT_EQ(parts, (DateParts{c.year, c.month, c.day, 0, 0, 0}));
    }
}

struct PackedTime {
    std::uint16_t packed;
    std::optional<int> hour, minute, second;
};

TEST(DosTimeTest, OnlyATimeOfDayGivesATime)
{
    const PackedTime cases[] = {
        {0x7D3C, 15, 41, 56},
        {0x0000, 0, 0, 0},
        {0x8000, 16, 0, 0}, // bit 15 is part of the hours
        {0xBF7D, 23, 59, 58},
        {0x001D, 0, 0, 58},
        {0xFFFF, {}, {}, {}},
        {0xC000, {}, {}, {}}, // 24:00:00
        {0x0780, {}, {}, {}}, // 00:60:00
        {0x001E, {}, {}, {}}, // 00:00:60
    };
    for (const PackedTime& c : cases) {
        SCOPED_TRACE(testing::Message() << "packed time 0x" << std::hex << c.packed);
        const std::optional<double> time = dosTimeOfDay(c.packed);
        ASSERT_EQ(time.has_value(), c.hour.has_value());
        if (!time) continue;
        EXPECT_EQ(splitDate(*time), (DateParts{1899, 12, 30, *c.hour, *c.minute, *c.second}));
    }
}

} // namespace
} // namespace quenarch
