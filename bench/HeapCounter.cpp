// Replaces the heap functions by versions that count the bytes in use (by
// each block's usable size), over glibc's own.
#include "HeapCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<int64_t> heapInUse{0};
std::atomic<int64_t> heapPeak{0};

void Count(void* p) {
    if (!p) return;
    const int64_t now = heapInUse.fetch_add(static_cast<int64_t>(malloc_usable_size(p))) +
                        static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
}
void Uncount(void* p) {
    if (p) heapInUse.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
}

}  // namespace

namespace thorn::bench {

int64_t StartMeasuring() {
    const int64_t now = heapInUse.load();
    heapPeak.store(now);
    return now;
}

int64_t HeapPeak() { return heapPeak.load(); }

int64_t HeapInUse() { return heapInUse.load(); }

}  // namespace thorn::bench

extern "C" {
void* malloc(size_t size) {
    void* p = __libc_malloc(size);
    Count(p);
    return p;
}
void* calloc(size_t count, size_t size) {
    void* p = __libc_calloc(count, size);
    Count(p);
    return p;
}
void* realloc(void* old, size_t size) {
    Uncount(old);
    void* p = __libc_realloc(old, size);
    Count(p ? p : (size ? old : nullptr));
    return p;
}
void free(void* p) {
    Uncount(p);
    __libc_free(p);
}
void* aligned_alloc(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    Count(p);
    return p;
}
void* memalign(size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    Count(p);
    return p;
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = __libc_memalign(alignment, size);
    if (!p) return 12;  // ENOMEM
    Count(p);
    *out = p;
    return 0;
}
}
