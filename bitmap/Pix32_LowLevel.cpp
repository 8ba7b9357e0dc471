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
    if (count * 4 >= kStreamBytes) return StreamFillLongword(dest, count, value);
    std::fill_n(dest, count, value);
}

void MoveLongword(const uint32_t* source, uint32_t* dest, int64_t count) {
    if (count < 1 || source == dest) return;
    std::memmove(dest, source, static_cast<size_t>(count) * sizeof(uint32_t));
}

#ifdef THORN_LOWLEVEL_X86
namespace {

// Streaming stores want aligned destinations: the words before the first
// 32-byte boundary and after the last are written plainly.
__attribute__((target("avx2"))) void StreamLongwordAvx2(const uint32_t* source, uint32_t* dest, int64_t count) {
    for (; count > 0 && (reinterpret_cast<uintptr_t>(dest) & 31) != 0; --count) *dest++ = *source++;
    for (; count >= 8; count -= 8, source += 8, dest += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(dest),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source)));
    for (; count > 0; --count) *dest++ = *source++;
    _mm_sfence();
}

__attribute__((target("avx2"))) void StreamFillLongwordAvx2(uint32_t* dest, int64_t count, uint32_t value) {
    const __m256i fill = _mm256_set1_epi32(static_cast<int>(value));
    for (; count > 0 && (reinterpret_cast<uintptr_t>(dest) & 31) != 0; --count) *dest++ = value;
    for (; count >= 8; count -= 8, dest += 8) _mm256_stream_si256(reinterpret_cast<__m256i*>(dest), fill);
    for (; count > 0; --count) *dest++ = value;
    _mm_sfence();
}

}  // namespace
#endif

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
