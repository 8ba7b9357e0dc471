#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The program's operator new and delete, on malloc and free. Every form
// that allocates or frees with the plain alignment is replaced, so memory
// always goes back the way it came, under the sanitizers too.
namespace {

std::atomic<uint64_t> allocations{0};
std::atomic<uint64_t> failingAllocation{0};  // 0: none
std::atomic<bool> reached{false};

void* Allocate(std::size_t size) {
    const uint64_t n = ++allocations;
    if (n == failingAllocation.load()) {
        reached = true;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateOrNull(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace thorn::test {

uint64_t AllocationCount() { return allocations.load(); }

FailingAllocation::FailingAllocation(uint64_t n) {
    reached = false;
    failingAllocation = allocations.load() + n;
}

FailingAllocation::~FailingAllocation() { failingAllocation = 0; }

bool FailingAllocation::Reached() const { return reached.load(); }

}  // namespace thorn::test
