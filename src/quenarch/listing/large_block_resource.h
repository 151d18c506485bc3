#pragma once

#include "quenarch/platform/page_memory.h"

#include <cstddef>
#include <memory_resource>

namespace quenarch {

// Gives blocks of a megabyte and more a mapping of their own from the page memory, in huge
// pages where the system allows them, and smaller blocks to the default resource. A listing of
// a million rows fills some 100 MB: in 4 KiB pages that is 25,000 page faults and as many TLB
// entries, in 2 MiB pages some fifty.
class LargeBlockResource final : public std::pmr::memory_resource {
public:
    // Blocks from this size up are mapped on their own.
    static constexpr std::size_t largeBlockSize = std::size_t{1} << 20;

    explicit LargeBlockResource(PageMemory& pages = systemPageMemory()) : pages_(pages) {}

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;

    PageMemory& pages_;
};

} // namespace quenarch
