#include "quenarch/platform/page_memory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace quenarch {
namespace {

constexpr std::size_t hugePageSize = std::size_t{2} << 20;

// Rounded up to whole pages only: a tail in small pages costs less memory than a huge page
// that is mostly unused.
std::size_t mappedSize(std::size_t bytes)
{
    static const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return (bytes + pageSize - 1) / pageSize * pageSize;
}

class PosixPageMemory final : public PageMemory {
public:
    void* map(std::size_t bytes) override
    {
        const std::size_t size = mappedSize(bytes);
        if (size < bytes) throw std::bad_alloc();
        // Map a huge page more than needed and give back the ends, so that the block starts on
        // a huge-page boundary and all of it but the tail can be in huge pages.
        const std::size_t reserved = size + hugePageSize;
        if (reserved < size) throw std::bad_alloc();
        void* mapping = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(mapping);
        const std::uintptr_t aligned = (start + hugePageSize - 1) / hugePageSize * hugePageSize;
        if (aligned > start) ::munmap(mapping, aligned - start);
        if (const std::uintptr_t end = start + reserved; end > aligned + size)
            ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
        void* block = reinterpret_cast<void*>(aligned);
        // Advice only: where huge pages are off, the block works in small ones.
        ::madvise(block, size, MADV_HUGEPAGE);
        return block;
    }

    void unmap(void* block, std::size_t bytes) override { ::munmap(block, mappedSize(bytes)); }
};

} // namespace

PageMemory& systemPageMemory()
{
    static PosixPageMemory pages;
    return pages;
}

} // namespace quenarch
