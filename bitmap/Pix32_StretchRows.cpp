#include "bitmap/Pix32_StretchRows.h"

#include "bitmap/Pix32_System.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define THORN_STRETCH_X86 1
#endif

namespace thorn {

void GatherRowReference(const TColor32* in, const int32_t* map, TColor32* out, int32_t count) {
    for (int32_t k = 0; k < count; ++k) out[k] = in[map[k]];
}

void LerpRowReference(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t count) {
    for (int32_t i = 0; i < count; ++i) out[i] = Lerp(a[i], b[i], w);
}

void LerpGatherRowReference(const TColor32* line, const int32_t* first, const int32_t* second, const uint32_t* weight,
                            TColor32* out, int32_t count) {
    for (int32_t k = 0; k < count; ++k) out[k] = Lerp(line[first[k]], line[second[k]], weight[k]);
}

}  // namespace thorn

#ifdef THORN_STRETCH_X86
namespace {

// Eight pixels of a row at the given indices. When they all lie within
// eight pixels from the first one (an enlargement, or a reduction of less
// than one eighth), one load and a shuffle inside the register fetch them;
// otherwise the processor gathers them one by one.
__attribute__((target("avx2"))) inline __m256i Fetch8(const TColor32* row, int32_t rowSize, const int32_t* indices) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(indices));
    const int32_t base = indices[0];
    const __m256i offsets = _mm256_sub_epi32(at, _mm256_set1_epi32(base));
    const __m256i seven = _mm256_set1_epi32(7);
    const bool near = _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_min_epu32(offsets, seven), offsets)) == -1;
    if (near && base + 8 <= rowSize)
        return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base)), offsets);
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), at, 4);
}

// Lerp in 16-bit lanes: (a - b)*w + (b << 8) wraps, but the true value lies
// in 0..65280, so the lanes hold it exactly.
__attribute__((target("avx2"))) inline __m256i LerpLanes(__m256i a16, __m256i b16, __m256i w16) {
    const __m256i t = _mm256_mullo_epi16(_mm256_sub_epi16(a16, b16), w16);
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_slli_epi16(b16, 8)), 8);
}

// Eight pixels mixed, each with its own weight (in the low 16 bits of its
// 32-bit lane).
__attribute__((target("avx2"))) inline __m256i Lerp8(__m256i a, __m256i b, __m256i w32) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i w = _mm256_or_si256(w32, _mm256_slli_epi32(w32, 16));
    const __m256i lo =
        LerpLanes(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero), _mm256_unpacklo_epi32(w, w));
    const __m256i hi =
        LerpLanes(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero), _mm256_unpackhi_epi32(w, w));
    return _mm256_packus_epi16(lo, hi);
}

// The tails stay in plain code: handing them to 128-bit vector code would
// mix legacy and wide vector instructions, which stalls the processor.
__attribute__((target("avx2"))) void GatherRowAvx2(const TColor32* in, int32_t inWidth, const int32_t* map,
                                                     TColor32* out, int32_t count) {
    int32_t k = 0;
    for (; k + 8 <= count; k += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), Fetch8(in, inWidth, map + k));
    thorn::GatherRowReference(in, map + k, out + k, count - k);
}

__attribute__((target("avx2"))) void LerpRowAvx2(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out,
                                                   int32_t count) {
    const __m256i w32 = _mm256_set1_epi32(static_cast<int>(w));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Lerp8(va, vb, w32));
    }
    thorn::LerpRowReference(a + i, b + i, w, out + i, count - i);
}

__attribute__((target("avx2"))) void LerpGatherRowAvx2(const TColor32* line, int32_t lineSize, const int32_t* first,
                                                         const int32_t* second, const uint32_t* weight, TColor32* out,
                                                         int32_t count) {
    int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i a = Fetch8(line, lineSize, first + k);
        const __m256i b = Fetch8(line, lineSize, second + k);
        const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weight + k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), Lerp8(a, b, w));
    }
    thorn::LerpGatherRowReference(line, first + k, second + k, weight + k, out + k, count - k);
}

}  // namespace
#endif

namespace thorn {

void GatherRow(const TColor32* in, int32_t inWidth, const int32_t* map, TColor32* out, int32_t count) {
#ifdef THORN_STRETCH_X86
    if (HasAvx2()) return GatherRowAvx2(in, inWidth, map, out, count);
#endif
    (void)inWidth;
    GatherRowReference(in, map, out, count);
}

void LerpRow(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t count) {
#ifdef THORN_STRETCH_X86
    if (HasAvx2()) return LerpRowAvx2(a, b, w, out, count);
#endif
    LerpRowReference(a, b, w, out, count);
}

void LerpGatherRow(const TColor32* line, int32_t lineSize, const int32_t* first, const int32_t* second,
                   const uint32_t* weight, TColor32* out, int32_t count) {
#ifdef THORN_STRETCH_X86
    if (HasAvx2()) return LerpGatherRowAvx2(line, lineSize, first, second, weight, out, count);
#endif
    (void)lineSize;
    LerpGatherRowReference(line, first, second, weight, out, count);
}

}  // namespace thorn
