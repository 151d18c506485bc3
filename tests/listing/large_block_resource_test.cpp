#include "quenarch/listing/large_block_resource.h"
#include "quenarch/listing/text_arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace quenarch {
namespace {

// Page memory from the heap that notes the blocks it has out.
class CountingPages final : public PageMemory {
public:
    void* map(std::size_t bytes) override
    {
        void* block = ::operator new(bytes, std::align_val_t{4096});
        out[block] = bytes;
        return block;
    }
    void unmap(void* block, std::size_t bytes) override
    {
        EXPECT_EQ(out[block], bytes);
        out.erase(block);
        ::operator delete(block, std::align_val_t{4096});
    }
    std::map<void*, std::size_t> out;
};

TEST(LargeBlockResource, MapsLargeBlocksOnlyAndGivesEveryBlockBack)
{
    constexpr std::size_t megabyte = std::size_t{1} << 20;
    CountingPages pages;
    LargeBlockResource resource(pages);
    for (const std::size_t bytes : {std::size_t{24}, megabyte - 1, megabyte, 5 * megabyte + 123}) {
        SCOPED_TRACE(bytes);
        void* block = resource.allocate(bytes, alignof(std::max_align_t));
        EXPECT_EQ(pages.out.size(), bytes >= megabyte ? 1u : 0u);
        std::memset(block, 0xA5, bytes);
        resource.deallocate(block, bytes, alignof(std::max_align_t));
        EXPECT_TRUE(pages.out.empty());
    }
    EXPECT_TRUE(resource.is_equal(LargeBlockResource(pages)));
    EXPECT_FALSE(resource.is_equal(LargeBlockResource()));
}

// Lengths of one, two and three base-128 digits, and the empty text, the longest through the
// system's pages.
TEST(LargeBlockResource, ArenasGrowThroughTheSystemsPages)
{
    LargeBlockResource resource;
    TextArena texts(&resource);
    std::vector<std::pair<StoredText, std::string>> stored;
    for (const std::size_t length : {0u, 1u, 127u, 128u, 20000u, 3'000'000u}) {
        std::string text(length, static_cast<char>('a' + length % 26));
        stored.emplace_back(texts.store(text), text);
    }
    for (const auto& [handle, text] : stored) EXPECT_EQ(handle.view(), text);
}

} // namespace
} // namespace quenarch
