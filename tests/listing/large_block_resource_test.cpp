#include "quenarch/listing/large_block_resource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace quenarch {
namespace {

TEST(LargeBlockResource, BlocksOfEverySizeAreWholeAlignedAndGivenBack)
{
    LargeBlockResource resource;
    constexpr std::size_t megabyte = std::size_t{1} << 20;
    for (const std::size_t bytes : {std::size_t{24}, megabyte - 1, megabyte, 2 * megabyte, 5 * megabyte + 123}) {
        SCOPED_TRACE(bytes);
        void* block = resource.allocate(bytes, alignof(std::max_align_t));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        // Every byte is there to be written and read back, up to the last one.
        auto* bytesOf = static_cast<unsigned char*>(block);
        std::memset(bytesOf, 0xA5, bytes);
        EXPECT_EQ(bytesOf[0], 0xA5);
        EXPECT_EQ(bytesOf[bytes - 1], 0xA5);
        resource.deallocate(block, bytes, alignof(std::max_align_t));
    }
    EXPECT_TRUE(resource.is_equal(LargeBlockResource()));
    EXPECT_FALSE(resource.is_equal(*std::pmr::new_delete_resource()));
}

TEST(LargeBlockResource, ContainersGrowThroughItsSizes)
{
    LargeBlockResource resource;
    std::pmr::vector<std::uint32_t> numbers(&resource);
    for (std::uint32_t i = 0; i < 3'000'000; ++i) numbers.push_back(i * 7u);
    std::uint64_t sum = 0;
    for (const std::uint32_t n : numbers) sum += n;
    EXPECT_EQ(sum, 7ull * 2'999'999ull * 3'000'000ull / 2);
}

} // namespace
} // namespace quenarch
