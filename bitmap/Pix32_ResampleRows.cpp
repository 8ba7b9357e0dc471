#include "bitmap/Pix32_ResampleRows.h"

#include <algorithm>

#include "bitmap/Pix32_System.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define THORN_RESAMPLE_X86 1
#endif

namespace thorn {

namespace {

inline uint32_t ChannelOf(int32_t sum, bool clamp) {
    if (clamp) sum = std::clamp(sum, 0, 0xFF0000);
    return (static_cast<uint32_t>(sum) & 0xFF0000u) >> 16;
}

inline TColor32 ColourOf(const int32_t* sums, bool clamp) {
    return ChannelOf(sums[0], clamp) | ChannelOf(sums[1], clamp) << 8 | ChannelOf(sums[2], clamp) << 16 |
           ChannelOf(sums[3], clamp) << 24;
}

#ifdef THORN_RESAMPLE_X86
// The weighted sums of four pixels' channels over a pair of rows: the
// bytes of the two rows interleaved, then multiplied by (w0, w1) pairs and
// added in 32 bits, which is exact.

inline void AddRowPair(const uint8_t* r0, const uint8_t* r1, __m128i weights, __m128i (&acc)[4]) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1));
    __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
    acc[0] = _mm_add_epi32(acc[0], _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), weights));
    acc[1] = _mm_add_epi32(acc[1], _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), weights));
    acc[2] = _mm_add_epi32(acc[2], _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), weights));
    acc[3] = _mm_add_epi32(acc[3], _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), weights));
}

__attribute__((target("sse4.1"))) void HorizontalSse41(const int32_t* cells, int32_t lo, const TMappingTable& mapX,
                                                        bool clamp, TColor32* out) {
    const __m128i top = _mm_set1_epi32(0xFF0000), zero = _mm_setzero_si128();
    const __m128i bytes = _mm_setr_epi8(2, 6, 10, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    for (size_t k = 0; k < mapX.size(); ++k) {
        __m128i acc = zero;
        for (const TMappingEntry& e : mapX[k]) {
            __m128i cell = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + static_cast<size_t>(e.Pos - lo) * 4));
            acc = _mm_add_epi32(acc, _mm_mullo_epi32(cell, _mm_set1_epi32(e.Weight)));
        }
        if (clamp) acc = _mm_min_epi32(_mm_max_epi32(acc, zero), top);
        // Byte 2 of each sum is bits 16..23.
        out[k] = static_cast<TColor32>(_mm_cvtsi128_si32(_mm_shuffle_epi8(acc, bytes)));
    }
}
#endif

}  // namespace

void ResampleRows::VerticalReference(const TBitmap32& src, int32_t lo, std::span<const TMappingEntry> cluster) {
    int32_t columns = static_cast<int32_t>(cells_.size() / 4);
    std::fill(cells_.begin(), cells_.end(), 0);
    for (const TMappingEntry& e : cluster) {
        const auto* row = reinterpret_cast<const uint8_t*>(src.PixelPtr(lo, e.Pos));
        for (int32_t i = 0; i < columns * 4; ++i) cells_[i] += row[i] * e.Weight;
    }
}

void ResampleRows::HorizontalReference(int32_t lo, const TMappingTable& mapX, bool clamp, TColor32* out) const {
    for (size_t k = 0; k < mapX.size(); ++k) {
        int32_t sums[4] = {0, 0, 0, 0};
        for (const TMappingEntry& e : mapX[k])
            for (int c = 0; c < 4; ++c) sums[c] += cells_[static_cast<size_t>(e.Pos - lo) * 4 + c] * e.Weight;
        out[k] = ColourOf(sums, clamp);
    }
}

void ResampleRows::Vertical(const TBitmap32& src, int32_t lo, std::span<const TMappingEntry> cluster) {
#ifdef THORN_RESAMPLE_X86
    if (!HasSse2()) return VerticalReference(src, lo, cluster);
    int32_t columns = static_cast<int32_t>(cells_.size() / 4);
    int32_t x = 0;
    for (; x + 4 <= columns; x += 4) {
        __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
        size_t i = 0;
        for (; i + 2 <= cluster.size(); i += 2) {
            __m128i weights = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(cluster[i].Weight & 0xFFFF) |
                                                                  static_cast<uint32_t>(cluster[i + 1].Weight) << 16));
            AddRowPair(reinterpret_cast<const uint8_t*>(src.PixelPtr(lo + x, cluster[i].Pos)),
                       reinterpret_cast<const uint8_t*>(src.PixelPtr(lo + x, cluster[i + 1].Pos)), weights, acc);
        }
        if (i < cluster.size()) {
            // An odd last row pairs with itself at weight 0.
            __m128i weights = _mm_set1_epi32(static_cast<int32_t>(cluster[i].Weight & 0xFFFF));
            const auto* row = reinterpret_cast<const uint8_t*>(src.PixelPtr(lo + x, cluster[i].Pos));
            AddRowPair(row, row, weights, acc);
        }
        for (int p = 0; p < 4; ++p)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(cells_.data() + static_cast<size_t>(x + p) * 4), acc[p]);
    }
    for (; x < columns; ++x) {
        int32_t* cell = cells_.data() + static_cast<size_t>(x) * 4;
        std::fill(cell, cell + 4, 0);
        for (const TMappingEntry& e : cluster) {
            const auto* px = reinterpret_cast<const uint8_t*>(src.PixelPtr(lo + x, e.Pos));
            for (int c = 0; c < 4; ++c) cell[c] += px[c] * e.Weight;
        }
    }
#else
    VerticalReference(src, lo, cluster);
#endif
}

void ResampleRows::Horizontal(int32_t lo, const TMappingTable& mapX, bool clamp, TColor32* out) const {
#ifdef THORN_RESAMPLE_X86
    if (HasSse41()) return HorizontalSse41(cells_.data(), lo, mapX, clamp, out);
#endif
    HorizontalReference(lo, mapX, clamp, out);
}

}  // namespace thorn
