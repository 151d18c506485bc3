#include "quenarch/archive/archive_formats.h"

#include <gtest/gtest.h>

namespace quenarch {
namespace {

TEST(ArchiveFormatsTest, FormatsAreNamedByTheirExtensionInAnyLetterCase)
{
    EXPECT_EQ(formatForName("zip"), ArchiveFormat::Zip);
    EXPECT_EQ(formatForName("Cab"), ArchiveFormat::Cab);
    EXPECT_EQ(formatForName("LZH"), ArchiveFormat::Lzh);
    EXPECT_EQ(formatForName("jar"), std::nullopt);
    EXPECT_EQ(formatForName("zi"), std::nullopt);
    EXPECT_EQ(formatForName(""), std::nullopt);
}

} // namespace
} // namespace quenarch
