#include "bitmap/Pix32_LowLevel.h"

#include <algorithm>
#include <cstring>

#include "bitmap/Pix32_System.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define THORN_LOWLEVEL_X86 1
#endif

void FillLongword(uint32_t* dest, int64_t count, uint32_t value) {
    if (count < 1) return;
    if (count * 4 >= kStreamBytes) {
        StreamFillLongword(dest, count, value);
        StreamFence();
        return;
    }
    std::fill_n(dest, count, value);
}

void MoveLongword(const uint32_t* source, uint32_t* dest, int64_t count) {
    if (count < 1 || source == dest) return;
    std::memmove(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}

#ifdef THORN_LOWLEVEL_X86
namespace {

// Streaming stores write whole cache lines: the words before the first
// 64-byte boundary and after the last are written plainly, since a line
// written in part past the caches costs more than the whole.
constexpr uintptr_t kLine = 64;

__attribute__((target("avx2"))) void StreamLongwordAvx2(const uint32_t* source, uint32_t* dest, int64_t count) {
    for (; count > 0 && (reinterpret_cast<uintptr_t>(dest) & (kLine - 1)) != 0; --count) *dest++ = *source++;
    for (; count >= 16; count -= 16, source += 16, dest += 16) {
        const __m256i* from = reinterpret_cast<const __m256i*>(source);
        __m256i* to = reinterpret_cast<__m256i*>(dest);
        _mm256_stream_si256(to, _mm256_loadu_si256(from));
        _mm256_stream_si256(to + 1, _mm256_loadu_si256(from + 1));
    }
    for (; count > 0; --count) *dest++ = *source++;
}

__attribute__((target("avx2"))) void StreamFillLongwordAvx2(uint32_t* dest, int64_t count, uint32_t value) {
    const __m256i fill = _mm256_set1_epi32(static_cast<int>(value));
    for (; count > 0 && (reinterpret_cast<uintptr_t>(dest) & (kLine - 1)) != 0; --count) *dest++ = value;
    for (; count >= 16; count -= 16, dest += 16) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dest), fill);
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dest) + 1, fill);
    }
    for (; count > 0; --count) *dest++ = value;
}

}  // namespace
#endif

void StreamFence() {
#ifdef THORN_LOWLEVEL_X86
    _mm_sfence();
#endif
}

void StreamFillLongword(uint32_t* dest, int64_t count, uint32_t value) {
    if (count < 1) return;
#ifdef THORN_LOWLEVEL_X86
    if (thorn::HasAvx2()) return StreamFillLongwordAvx2(dest, count, value);
#endif
    std::fill_n(dest, count, value);
}

void StreamLongword(const uint32_t* source, uint32_t* dest, int64_t count) {
    if (count < 1) return;
#ifdef THORN_LOWLEVEL_X86
    if (thorn::HasAvx2()) return StreamLongwordAvx2(source, dest, count);
#endif
    std::memcpy(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}
