#pragma once

#include <cstdint>

namespace thorn::test {

// Memory running short, for the model's tests: operator new of this test
// program counts its allocations, and one of them can be made to throw
// std::bad_alloc.

// Allocations through operator new so far.
uint64_t AllocationCount();

// While it lives, the n-th allocation from its making on (1: the next one)
// throws std::bad_alloc; only that one.
class FailingAllocation {
public:
    explicit FailingAllocation(uint64_t n);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether the allocation that fails was reached.
    bool Reached() const;
};

}  // namespace thorn::test
