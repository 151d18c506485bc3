#pragma once

namespace quenarch::test {

// Makes one allocation through operator new fail with std::bad_alloc: the one after the given
// number of allocations on this thread, while the object lives. Allocations before and after
// it succeed. Works in the test program that links failing_allocation.cpp, which replaces the
// global operator new and delete.
class FailingAllocation {
public:
    explicit FailingAllocation(long allocationsBefore);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether the allocation has failed yet.
    bool happened() const;
};

} // namespace quenarch::test
