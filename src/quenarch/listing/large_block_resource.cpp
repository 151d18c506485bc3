#include "quenarch/listing/large_block_resource.h"

namespace quenarch {
namespace {

// Mappings start on page boundaries; a block that asks for more alignment than a small page
// gives goes to the default resource, which honours any alignment.
constexpr std::size_t pageAlignment = 4096;

bool mapped(std::size_t bytes, std::size_t alignment)
{
    return bytes >= LargeBlockResource::largeBlockSize && alignment <= pageAlignment;
}

} // namespace

void* LargeBlockResource::do_allocate(std::size_t bytes, std::size_t alignment)
{
    if (!mapped(bytes, alignment)) return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    return pages_.map(bytes);
}

void LargeBlockResource::do_deallocate(void* block, std::size_t bytes, std::size_t alignment)
{
    if (!mapped(bytes, alignment)) {
        std::pmr::new_delete_resource()->deallocate(block, bytes, alignment);
        return;
    }
    pages_.unmap(block, bytes);
}

bool LargeBlockResource::do_is_equal(const std::pmr::memory_resource& other) const noexcept
{
    const auto* blocks = dynamic_cast<const LargeBlockResource*>(&other);
    return blocks != nullptr && &blocks->pages_ == &pages_;
}

} // namespace quenarch
