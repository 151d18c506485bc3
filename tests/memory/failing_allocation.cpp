#include "failing_allocation.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// Allocations still to succeed before one fails; negative when none is to fail.
thread_local long allocationsLeft = -1;
thread_local bool failed = false;

void* allocate(std::size_t size, std::size_t alignment)
{
    if (allocationsLeft == 0) {
        allocationsLeft = -1;
        failed = true;
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0) --allocationsLeft;
    if (size == 0) size = 1;
    void* block = alignment <= alignof(std::max_align_t) ? std::malloc(size)
                                                         : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

} // namespace

namespace quenarch::test {

FailingAllocation::FailingAllocation(long allocationsBefore)
{
    failed = false;
    allocationsLeft = allocationsBefore;
}

FailingAllocation::~FailingAllocation() { allocationsLeft = -1; }

bool FailingAllocation::happened() const { return failed; }

} // namespace quenarch::test

void* operator new(std::size_t size) { return allocate(size, 0); }
void* operator new[](std::size_t size) { return allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocate(size, static_cast<std::size_t>(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocate(size, static_cast<std::size_t>(alignment)); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
