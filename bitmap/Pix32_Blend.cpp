#include "bitmap/Pix32_Blend.h"

#include "bitmap/Pix32_System.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define THORN_BLEND_X86 1
#endif

namespace thorn::blend {

void BlendLineReference(const TColor32* src, TColor32* dst, int32_t count) {
    for (int32_t i = 0; i < count; ++i) BlendMem(src[i], dst[i]);
}

void BlendLineExReference(const TColor32* src, TColor32* dst, int32_t count, uint32_t m) {
    for (int32_t i = 0; i < count; ++i) BlendMemEx(src[i], dst[i], m);
}

}  // namespace thorn::blend

#ifdef THORN_BLEND_X86
namespace {

// mix() of the pixels in f and b with a 16-bit weight per channel lane, as
// ((f - b)*w + (b << 8) + 128) >> 8 in wrapping 16-bit lanes: the true value
// lies in 0..65408, so the wrap gives it exactly.
inline __m128i MixLanes(__m128i f16, __m128i b16, __m128i w16) {
    __m128i t = _mm_mullo_epi16(_mm_sub_epi16(f16, b16), w16);
    t = _mm_add_epi16(t, _mm_slli_epi16(b16, 8));
    t = _mm_add_epi16(t, _mm_set1_epi16(128));
    return _mm_srli_epi16(t, 8);
}

// Four pixels mixed with one weight per pixel (weights in the low 16 bits
// of each 32-bit lane of w32).
inline __m128i Mix4(__m128i f, __m128i b, __m128i w32) {
    const __m128i zero = _mm_setzero_si128();
    __m128i w = _mm_or_si128(w32, _mm_slli_epi32(w32, 16));
    __m128i lo = MixLanes(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi32(w, w));
    __m128i hi = MixLanes(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi32(w, w));
    return _mm_packus_epi16(lo, hi);
}

void BlendLineSse2(const TColor32* src, TColor32* dst, int32_t count) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i fa = _mm_and_si128(f, alphaMask);
        __m128i opaque = _mm_cmpeq_epi32(fa, alphaMask);
        int opaqueBits = _mm_movemask_epi8(opaque);
        if (opaqueBits == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), f);
            continue;
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(fa, _mm_setzero_si128())) == 0xFFFF) continue;
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i mixed = Mix4(f, b, _mm_srli_epi32(f, 24));
        __m128i r = _mm_or_si128(_mm_and_si128(opaque, f), _mm_andnot_si128(opaque, mixed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), r);
    }
    thorn::blend::BlendLineReference(src + i, dst + i, count - i);
}

void BlendLineExSse2(const TColor32* src, TColor32* dst, int32_t count, uint32_t m) {
    const __m128i master = _mm_set1_epi32(static_cast<int>(thorn::blend::Weight(m) + 1));
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i w = _mm_srli_epi32(_mm_mullo_epi16(_mm_srli_epi32(f, 24), master), 8);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(w, _mm_setzero_si128())) == 0xFFFF) continue;
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Mix4(f, b, w));
    }
    thorn::blend::BlendLineExReference(src + i, dst + i, count - i, m);
}

__attribute__((target("avx2"))) inline __m256i MixLanes8(__m256i f16, __m256i b16, __m256i w16) {
    __m256i t = _mm256_mullo_epi16(_mm256_sub_epi16(f16, b16), w16);
    t = _mm256_add_epi16(t, _mm256_slli_epi16(b16, 8));
    t = _mm256_add_epi16(t, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(t, 8);
}

__attribute__((target("avx2"))) inline __m256i Mix8(__m256i f, __m256i b, __m256i w32) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i w = _mm256_or_si256(w32, _mm256_slli_epi32(w32, 16));
    __m256i lo = MixLanes8(_mm256_unpacklo_epi8(f, zero), _mm256_unpacklo_epi8(b, zero), _mm256_unpacklo_epi32(w, w));
    __m256i hi = MixLanes8(_mm256_unpackhi_epi8(f, zero), _mm256_unpackhi_epi8(b, zero), _mm256_unpackhi_epi32(w, w));
    return _mm256_packus_epi16(lo, hi);
}

// The first n (1..7) of eight 32-bit lanes. The last pixels of a run go
// through masked loads and stores: handing them to the SSE2 code would mix
// legacy and wide vector instructions, which stalls the processor far longer
// than the few pixels take.
__attribute__((target("avx2"))) inline __m256i FirstLanes(int32_t n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Where a pixel is transparent, mix() gives the destination back unchanged.
__attribute__((target("avx2"))) inline __m256i BlendPixels8(__m256i f, __m256i b) {
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    __m256i opaque = _mm256_cmpeq_epi32(_mm256_and_si256(f, alphaMask), alphaMask);
    return _mm256_blendv_epi8(Mix8(f, b, _mm256_srli_epi32(f, 24)), f, opaque);
}

__attribute__((target("avx2"))) void BlendLineAvx2(const TColor32* src, TColor32* dst, int32_t count) {
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i fa = _mm256_and_si256(f, alphaMask);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(fa, alphaMask)) == -1) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), f);
            continue;
        }
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(fa, _mm256_setzero_si256())) == -1) {
            // A transparent run (the empty parts of an overlay): the rest of
            // it is passed over 32 pixels at a time.
            while (i + 40 <= count) {
                const __m256i* p = reinterpret_cast<const __m256i*>(src + i + 8);
                const __m256i any = _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(p), _mm256_loadu_si256(p + 1)),
                                                    _mm256_or_si256(_mm256_loadu_si256(p + 2), _mm256_loadu_si256(p + 3)));
                if (!_mm256_testz_si256(any, alphaMask)) break;
                i += 32;
            }
            continue;
        }
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), BlendPixels8(f, b));
    }
    if (i == count) return;
    __m256i lanes = FirstLanes(count - i);
    __m256i f = _mm256_maskload_epi32(reinterpret_cast<const int*>(src + i), lanes);
    __m256i b = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst + i), lanes);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + i), lanes, BlendPixels8(f, b));
}

__attribute__((target("avx2"))) inline __m256i MasterWeights8(__m256i f, __m256i master) {
    return _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_srli_epi32(f, 24), master), 8);
}

__attribute__((target("avx2"))) void BlendLineExAvx2(const TColor32* src, TColor32* dst, int32_t count, uint32_t m) {
    const __m256i master = _mm256_set1_epi32(static_cast<int>(thorn::blend::Weight(m) + 1));
    int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i w = MasterWeights8(f, master);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(w, _mm256_setzero_si256())) == -1) continue;
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Mix8(f, b, w));
    }
    if (i == count) return;
    __m256i lanes = FirstLanes(count - i);
    __m256i f = _mm256_maskload_epi32(reinterpret_cast<const int*>(src + i), lanes);
    __m256i b = _mm256_maskload_epi32(reinterpret_cast<const int*>(dst + i), lanes);
    _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + i), lanes, Mix8(f, b, MasterWeights8(f, master)));
}

}  // namespace
#endif

void BlendLine(const TColor32* Src, TColor32* Dst, int32_t Count) {
    if (Count < 1) return;
#ifdef THORN_BLEND_X86
    if (thorn::HasAvx2()) return BlendLineAvx2(Src, Dst, Count);
    if (thorn::HasSse2()) return BlendLineSse2(Src, Dst, Count);
#endif
    thorn::blend::BlendLineReference(Src, Dst, Count);
}

void BlendLineEx(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
    if (Count < 1) return;
#ifdef THORN_BLEND_X86
    if (thorn::HasAvx2()) return BlendLineExAvx2(Src, Dst, Count, M);
    if (thorn::HasSse2()) return BlendLineExSse2(Src, Dst, Count, M);
#endif
    thorn::blend::BlendLineExReference(Src, Dst, Count, M);
}

namespace {

template <typename Op>
TColor32 PerChannel(TColor32 c1, TColor32 c2, Op op) {
    TColor32 result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int32_t a = static_cast<int32_t>(c1 >> shift & 0xFF), b = static_cast<int32_t>(c2 >> shift & 0xFF);
        result |= static_cast<TColor32>(op(a, b)) << shift;
    }
    return result;
}

}  // namespace

TColor32 ColorAdd(TColor32 C1, TColor32 C2) {
    return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::min(a + b, 255); });
}

TColor32 ColorSub(TColor32 C1, TColor32 C2) {
    return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::max(a - b, 0); });
}

TColor32 ColorModulate(TColor32 C1, TColor32 C2) {
    return PerChannel(C1, C2, [](int32_t a, int32_t b) { return a * b >> 8; });
}

TColor32 ColorMax(TColor32 C1, TColor32 C2) {
    return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::max(a, b); });
}

TColor32 ColorMin(TColor32 C1, TColor32 C2) {
    return PerChannel(C1, C2, [](int32_t a, int32_t b) { return std::min(a, b); });
}

TColor32 Lighten(TColor32 C, int32_t Amount) {
    TColor32 result = C & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int64_t v = static_cast<int64_t>(C >> shift & 0xFF) + Amount;
        result |= static_cast<TColor32>(std::clamp<int64_t>(v, 0, 255)) << shift;
    }
    return result;
}
