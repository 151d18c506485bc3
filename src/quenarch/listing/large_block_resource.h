#pragma once

#include <cstddef>
#include <memory_resource>

namespace quenarch {

// Gives blocks of a megabyte and more their own mapping, in huge pages where the kernel allows
// them, and smaller blocks to the default resource. A listing of 100,000 rows fills some 50 MB:
// in 4 KiB pages that is over 12,000 page faults and as many TLB entries, in 2 MiB pages a few
// dozen. Stateless: every instance hands out and takes back the same kind of blocks.
class LargeBlockResource final : public std::pmr::memory_resource {
public:
    // Blocks from this size up are mapped on their own.
    static constexpr std::size_t largeBlockSize = std::size_t{1} << 20;

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* block, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override;
};

} // namespace quenarch
