// Block and stretch transfer between bitmaps: same-size copies, nearest and
// bilinear stretching; kernel resampling is in Pix32_Resample.cpp.
#include "bitmap/Pix32_Transfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_LowLevel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

bool FullEdge = false;

namespace {

void CheckBitmaps(const TBitmap32* dst, const TBitmap32* src) {
    if (dst == nullptr || dst->Empty()) throw ETransformError("Destination bitmap is nil or empty");
    if (src == nullptr || src->Empty()) throw ETransformError("Source bitmap is nil or empty");
}

bool CheckSrcRect(const TBitmap32& src, const TRect& srcRect) {
    if (IsRectEmpty(srcRect)) return false;
    if (srcRect.Left >= 0 && srcRect.Top >= 0 && srcRect.Right <= src.Width() && srcRect.Bottom <= src.Height())
        return true;
    throw ETransformError("Source rectangle is invalid");
}

void CheckAssertion(bool condition) {
    if (!condition) throw Exception("Assertion failure");
}

// dmCustom without a callback copies.
TDrawMode Normalise(TDrawMode mode, const TPixelCombineEvent& callback) {
    return mode == dmCustom && !callback ? dmOpaque : mode;
}

// A copy of the part of src under srcRect, for transfers from a bitmap into
// itself.
void CopyRegion(const TBitmap32& src, const TRect& area, TBitmap32& copy) {
    copy.SetSize(area.Width(), area.Height());
    copy.SetMasterAlpha(src.MasterAlpha());
    for (int32_t y = area.Top; y < area.Bottom; ++y)
        std::memcpy(copy.ScanLine(y - area.Top), src.PixelPtr(area.Left, y), static_cast<size_t>(area.Width()) * 4);
}

void BlendRow(const TColor32* src, TColor32* dst, int32_t count, TDrawMode mode, uint32_t masterAlpha,
              const TPixelCombineEvent& callback) {
    switch (mode) {
    case dmOpaque:
        MoveLongword(src, dst, count);
        break;
    case dmBlend:
        if (masterAlpha >= 255)
            BlendLine(src, dst, count);
        else
            BlendLineEx(src, dst, count, masterAlpha);
        break;
    case dmCustom:
        for (int32_t i = 0; i < count; ++i) callback(src[i], dst[i], masterAlpha);
        break;
    }
}

constexpr int32_t kFetchAheadWidth = 256;

// Asks for the cache lines of a run of pixels about to be written.
inline void FetchAhead(const TColor32* run, int32_t count) {
    const char* p = reinterpret_cast<const char*>(run);
    for (int32_t offset = 0; offset < count * 4; offset += 64) __builtin_prefetch(p + offset, 1);
}

// Same-size copy of dstRect of dst from src starting at (srcX, srcY).
void BlendBlock(TBitmap32& dst, const TRect& dstRect, const TBitmap32& src, int32_t srcX, int32_t srcY,
                TDrawMode mode, const TPixelCombineEvent& callback) {
    int32_t w = dstRect.Width();
    // Short rows lie in different pages, where the processor does not fetch
    // ahead by itself: the next destination row is asked for while this one
    // is mixed.
    bool fetchAhead = w <= kFetchAheadWidth;
    for (int32_t y = dstRect.Top; y < dstRect.Bottom; ++y) {
        if (fetchAhead && y + 1 < dstRect.Bottom) FetchAhead(dst.PixelPtr(dstRect.Left, y + 1), w);
        BlendRow(src.PixelPtr(srcX, srcY + y - dstRect.Top), dst.PixelPtr(dstRect.Left, y), w, mode,
                 src.MasterAlpha(), callback);
    }
}

// The source column (or row) of each clipped destination pixel.
std::vector<int32_t> NearestMap(int32_t dstLo, int32_t dstHi, int32_t clipLo, int32_t clipHi, int32_t srcLo,
                                int32_t srcHi) {
    int32_t dstW = dstHi - dstLo, srcW = srcHi - srcLo, clipW = clipHi - clipLo;
    std::vector<int32_t> map(static_cast<size_t>(clipW));
    if (dstW <= 1) {
        std::fill(map.begin(), map.end(), (srcLo + srcHi - 1) / 2);
    } else if (!FullEdge) {
        double s = static_cast<double>(srcW - 1) / (dstW - 1);
        for (int32_t k = 0; k < clipW; ++k)
            map[k] = static_cast<int32_t>(std::nearbyint(srcLo + (k + clipLo - dstLo) * s));
    } else {
        double s = static_cast<double>(srcW) / dstW;
        for (int32_t k = 0; k < clipW; ++k) map[k] = static_cast<int32_t>(srcLo + (k + clipLo - dstLo) * s);
    }
    for (int32_t v : map) CheckAssertion(v >= srcLo && v < srcHi);
    return map;
}

void StretchNearest(TBitmap32& dst, const TRect& dstRect, const TRect& dstClip, const TBitmap32& src,
                    const TRect& srcRect, TDrawMode mode, const TPixelCombineEvent& callback) {
    if (srcRect.Left < 0 || srcRect.Top < 0 || srcRect.Right > src.Width() || srcRect.Bottom > src.Height())
        throw Exception("Invalid SrcRect");
    std::vector<int32_t> columns =
        NearestMap(dstRect.Left, dstRect.Right, dstClip.Left, dstClip.Right, srcRect.Left, srcRect.Right);
    std::vector<int32_t> rows =
        NearestMap(dstRect.Top, dstRect.Bottom, dstClip.Top, dstClip.Bottom, srcRect.Top, srcRect.Bottom);
    int32_t clipW = dstClip.Width();
    const int32_t* map = columns.data();
    if (mode == dmOpaque) {
        for (size_t j = 0; j < rows.size(); ++j) {
            TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
            if (j > 0 && rows[j] == rows[j - 1]) {
                std::memcpy(out, out - dst.Width(), static_cast<size_t>(clipW) * 4);
                continue;
            }
            const TColor32* in = src.ScanLine(rows[j]);
            for (int32_t k = 0; k < clipW; ++k) out[k] = in[map[k]];
        }
        return;
    }
    std::vector<TColor32> line(static_cast<size_t>(clipW));
    for (size_t j = 0; j < rows.size(); ++j) {
        TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
        const TColor32* in = src.ScanLine(rows[j]);
        for (int32_t k = 0; k < clipW; ++k) line[k] = in[map[k]];
        BlendRow(line.data(), out, clipW, mode, src.MasterAlpha(), callback);
    }
}

// One axis of the bilinear map: the first of two source positions, the
// second one, and the first one's weight out of 256.
struct LinearEntry {
    int32_t pos;
    int32_t next;
    uint32_t weight;
};

std::vector<LinearEntry> LinearMap(int32_t dstLo, int32_t dstHi, int32_t clipLo, int32_t clipHi, int32_t srcLo,
                                   int32_t srcHi, int32_t srcSize) {
    int32_t dstW = dstHi - dstLo, srcW = srcHi - srcLo, clipW = clipHi - clipLo;
    double s = FullEdge ? static_cast<double>(srcW) / dstW : static_cast<double>(srcW - 1) / (dstW - 1);
    std::vector<LinearEntry> map(static_cast<size_t>(clipW));
    for (int32_t k = 0; k < clipW; ++k) {
        int32_t i = k + clipLo - dstLo;
        double x = FullEdge ? (srcLo - 0.5) + (i + 0.5) * s : srcLo + i * s;
        x = std::clamp(x, 0.0, static_cast<double>(srcSize - 1));
        double floorX = std::floor(x);
        map[k].pos = static_cast<int32_t>(floorX);
        map[k].weight = static_cast<uint32_t>(256 - std::nearbyint((x - floorX) * 256));
        map[k].next = map[k].pos + 1;
    }
    // An entry on the last source column takes it whole as the second of
    // the pair, so nothing right of the span is read; a span of one column
    // takes that column alone.
    for (auto it = map.rbegin(); it != map.rend() && it->pos >= srcHi - 1; ++it) {
        if (srcW == 1) {
            *it = {srcLo, srcLo, 256};
        } else {
            it->pos = srcHi - 2;
            it->next = srcHi - 1;
            it->weight = 0;
        }
    }
    return map;
}

// (a*wa + b*(256 - wa)) >> 8 per channel, two channels at a time.
inline TColor32 Lerp(TColor32 a, TColor32 b, uint32_t wa) {
    uint32_t wb = 256 - wa;
    uint32_t rb = ((a & 0x00FF00FFu) * wa + (b & 0x00FF00FFu) * wb) >> 8 & 0x00FF00FFu;
    uint32_t ag = ((a >> 8 & 0x00FF00FFu) * wa + (b >> 8 & 0x00FF00FFu) * wb) & 0xFF00FF00u;
    return rb | ag;
}

#if defined(__SSE2__)
// Lerp of the channels in 16-bit lanes: (a - b)*w + (b << 8) wraps, but the
// true value lies in 0..65280, so the lanes hold it exactly.
inline __m128i LerpLanes(__m128i a16, __m128i b16, __m128i w16) {
    __m128i t = _mm_mullo_epi16(_mm_sub_epi16(a16, b16), w16);
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_slli_epi16(b16, 8)), 8);
}
#endif

// out[i] = Lerp(a[i], b[i], w) for a run of pixels.
void LerpRun(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t count) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), w16 = _mm_set1_epi16(static_cast<int16_t>(w));
    for (; i + 4 <= count; i += 4) {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        __m128i lo = LerpLanes(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero), w16);
        __m128i hi = LerpLanes(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero), w16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i) out[i] = Lerp(a[i], b[i], w);
}

// out[k] = Lerp(line[first[k]], line[second[k]], weight[k]).
void LerpGather(const TColor32* line, const int32_t* first, const int32_t* second, const uint32_t* weight,
                TColor32* out, int32_t count) {
    int32_t k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; k + 4 <= count; k += 4) {
        __m128i va = _mm_set_epi32(static_cast<int>(line[first[k + 3]]), static_cast<int>(line[first[k + 2]]),
                                   static_cast<int>(line[first[k + 1]]), static_cast<int>(line[first[k]]));
        __m128i vb = _mm_set_epi32(static_cast<int>(line[second[k + 3]]), static_cast<int>(line[second[k + 2]]),
                                   static_cast<int>(line[second[k + 1]]), static_cast<int>(line[second[k]]));
        __m128i w32 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weight + k));
        __m128i w = _mm_or_si128(w32, _mm_slli_epi32(w32, 16));
        __m128i lo = LerpLanes(_mm_unpacklo_epi8(va, zero), _mm_unpacklo_epi8(vb, zero), _mm_unpacklo_epi32(w, w));
        __m128i hi = LerpLanes(_mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero), _mm_unpackhi_epi32(w, w));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; k < count; ++k) out[k] = Lerp(line[first[k]], line[second[k]], weight[k]);
}

void StretchBilinear(TBitmap32& dst, const TRect& dstRect, const TRect& dstClip, const TBitmap32& src,
                     const TRect& srcRect, TDrawMode mode, const TPixelCombineEvent& callback) {
    CheckAssertion(dstRect.Width() > srcRect.Width() && dstRect.Height() > srcRect.Height());
    std::vector<LinearEntry> columns = LinearMap(dstRect.Left, dstRect.Right, dstClip.Left, dstClip.Right,
                                                 srcRect.Left, srcRect.Right, src.Width());
    std::vector<LinearEntry> rows = LinearMap(dstRect.Top, dstRect.Bottom, dstClip.Top, dstClip.Bottom, srcRect.Top,
                                              srcRect.Bottom, src.Height());
    // Each row first mixes the two source rows over the columns it needs,
    // then each pixel mixes two of those columns.
    int32_t lo = columns.front().pos, hi = columns.front().next;
    for (const LinearEntry& c : columns) lo = std::min(lo, c.pos), hi = std::max(hi, c.next);
    int32_t clipW = dstClip.Width();
    std::vector<int32_t> first(clipW), second(clipW);
    std::vector<uint32_t> weight(clipW);
    for (int32_t k = 0; k < clipW; ++k) {
        first[k] = columns[k].pos - lo;
        second[k] = columns[k].next - lo;
        weight[k] = columns[k].weight;
    }
    std::vector<TColor32> mixed(static_cast<size_t>(hi - lo + 1)), line(static_cast<size_t>(clipW));
    uint32_t masterAlpha = src.MasterAlpha();
    for (size_t j = 0; j < rows.size(); ++j) {
        TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
        bool sameAsBefore = j > 0 && rows[j].pos == rows[j - 1].pos && rows[j].next == rows[j - 1].next &&
                            rows[j].weight == rows[j - 1].weight;
        if (!sameAsBefore) {
            LerpRun(src.PixelPtr(lo, rows[j].pos), src.PixelPtr(lo, rows[j].next), rows[j].weight, mixed.data(),
                    hi - lo + 1);
            LerpGather(mixed.data(), first.data(), second.data(), weight.data(), line.data(), clipW);
        }
        switch (mode) {
        case dmOpaque:
            std::memcpy(out, line.data(), static_cast<size_t>(clipW) * 4);
            break;
        case dmBlend:
            for (int32_t k = 0; k < clipW; ++k) BlendMemEx(line[k], out[k], masterAlpha);
            break;
        case dmCustom:
            for (int32_t k = 0; k < clipW; ++k) callback(line[k], out[k], masterAlpha);
            break;
        }
    }
}

}  // namespace

void BlockTransfer(TBitmap32* Dst, int32_t DstX, int32_t DstY, TRect DstClip, const TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
    if (Src == nullptr || Src->Empty()) return;
    CheckBitmaps(Dst, Src);
    CombineOp = Normalise(CombineOp, CombineCallBack);
    if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;
    if (Src == Dst) {
        TRect area;
        if (!IntersectRect(area, SrcRect, Src->BoundsRect()) || IsRectEmpty(area)) return;
        TBitmap32 copy;
        CopyRegion(*Src, area, copy);
        return BlockTransfer(Dst, DstX + area.Left - SrcRect.Left, DstY + area.Top - SrcRect.Top, DstClip, &copy,
                             copy.BoundsRect(), CombineOp, CombineCallBack);
    }
    int32_t srcX = SrcRect.Left, srcY = SrcRect.Top;
    IntersectRect(DstClip, DstClip, Dst->BoundsRect());
    IntersectRect(SrcRect, SrcRect, Src->BoundsRect());
    OffsetRect(SrcRect, DstX - srcX, DstY - srcY);
    TRect dstRect;
    IntersectRect(dstRect, DstClip, SrcRect);
    SrcRect = dstRect;
    OffsetRect(SrcRect, srcX - DstX, srcY - DstY);
    if (!IsRectEmpty(SrcRect))
        BlendBlock(*Dst, dstRect, *Src, SrcRect.Left, SrcRect.Top, CombineOp, CombineCallBack);
    EMMS();
}

void StretchTransfer(TBitmap32* Dst, TRect DstRect, TRect DstClip, const TBitmap32* Src, TRect SrcRect,
                     TStretchFilter StretchFilter, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack) {
    if (Src == nullptr || Src->Empty()) return;
    CheckBitmaps(Dst, Src);
    if (!CheckSrcRect(*Src, SrcRect)) return;
    IntersectRect(DstClip, DstClip, Dst->BoundsRect());
    IntersectRect(DstClip, DstClip, DstRect);
    if (IsRectEmpty(DstClip)) return;
    CombineOp = Normalise(CombineOp, CombineCallBack);
    if (CombineOp == dmBlend && Src->MasterAlpha() == 0) return;
    if (Src == Dst) {
        TBitmap32 copy;
        CopyRegion(*Src, SrcRect, copy);
        return StretchTransfer(Dst, DstRect, DstClip, &copy, copy.BoundsRect(), StretchFilter, CombineOp,
                               CombineCallBack);
    }
    int32_t srcW = SrcRect.Width(), srcH = SrcRect.Height();
    int32_t dstW = DstRect.Width(), dstH = DstRect.Height();
    if (srcW == dstW && srcH == dstH) {
        BlendBlock(*Dst, DstClip, *Src, SrcRect.Left + DstClip.Left - DstRect.Left,
                   SrcRect.Top + DstClip.Top - DstRect.Top, CombineOp, CombineCallBack);
    } else if (StretchFilter == sfNearest) {
        StretchNearest(*Dst, DstRect, DstClip, *Src, SrcRect, CombineOp, CombineCallBack);
    } else if (StretchFilter == sfLinear && dstW > srcW && dstH > srcH) {
        StretchBilinear(*Dst, DstRect, DstClip, *Src, SrcRect, CombineOp, CombineCallBack);
    } else {
        thorn::Resample(*Dst, DstRect, DstClip, *Src, SrcRect, StretchFilter, CombineOp, CombineCallBack);
    }
    EMMS();
}

void thorn::CopyStretched(const PixelView& dst, const TRect& dstRect, const PixelView& src, const TRect& srcRect) {
    int64_t dstW = int64_t{dstRect.Right} - dstRect.Left, dstH = int64_t{dstRect.Bottom} - dstRect.Top;
    int64_t srcW = int64_t{srcRect.Right} - srcRect.Left, srcH = int64_t{srcRect.Bottom} - srcRect.Top;
    if (dstW <= 0 || dstH <= 0 || srcW <= 0 || srcH <= 0 || !dst.bits || !src.bits) return;
    int64_t x0 = std::max<int64_t>(dstRect.Left, 0), x1 = std::min<int64_t>(dstRect.Right, dst.width);
    int64_t y0 = std::max<int64_t>(dstRect.Top, 0), y1 = std::min<int64_t>(dstRect.Bottom, dst.height);
    for (int64_t y = y0; y < y1; ++y) {
        int64_t sy = srcRect.Top + (y - dstRect.Top) * srcH / dstH;
        if (sy < 0 || sy >= src.height) continue;
        const uint32_t* in = src.Row(static_cast<int32_t>(sy));
        uint32_t* out = dst.Row(static_cast<int32_t>(y));
        for (int64_t x = x0; x < x1; ++x) {
            int64_t sx = srcRect.Left + (x - dstRect.Left) * srcW / dstW;
            if (sx >= 0 && sx < src.width) out[x] = in[sx];
        }
    }
}
