// Block and stretch transfer between bitmaps: same-size copies, nearest and
// bilinear stretching; kernel resampling is in Pix32_Resample.cpp.
#include "bitmap/Pix32_Transfer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_LowLevel.h"
#include "bitmap/Pix32_StretchRows.h"

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
    // An opaque block too large to stay in the caches is written past them.
    const bool stream = mode == dmOpaque && int64_t{w} * dstRect.Height() * 4 >= kStreamBytes;
    for (int32_t y = dstRect.Top; y < dstRect.Bottom; ++y) {
        if (fetchAhead && y + 1 < dstRect.Bottom) FetchAhead(dst.PixelPtr(dstRect.Left, y + 1), w);
        const TColor32* from = src.PixelPtr(srcX, srcY + y - dstRect.Top);
        TColor32* to = dst.PixelPtr(dstRect.Left, y);
        if (stream)
            StreamLongword(from, to, w);  // source and destination are different bitmaps here
        else
            BlendRow(from, to, w, mode, src.MasterAlpha(), callback);
    }
    if (stream) StreamFence();
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
    const int32_t clipW = dstClip.Width();
    const int32_t* map = columns.data();
    // Rows that take the same source row as the one before repeat it: an
    // opaque row is copied from the one above, a blended one reuses the
    // pixels already gathered.
    if (mode == dmOpaque) {
        for (size_t j = 0; j < rows.size(); ++j) {
            TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
            if (j > 0 && rows[j] == rows[j - 1])
                std::memcpy(out, out - dst.Width(), static_cast<size_t>(clipW) * 4);
            else
                thorn::GatherRow(src.ScanLine(rows[j]), src.Width(), map, out, clipW);
        }
        return;
    }
    std::vector<TColor32> line(static_cast<size_t>(clipW));
    for (size_t j = 0; j < rows.size(); ++j) {
        TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
        if (j == 0 || rows[j] != rows[j - 1]) thorn::GatherRow(src.ScanLine(rows[j]), src.Width(), map, line.data(), clipW);
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
    // The mixed row keeps eight spare pixels, so that the row loop may load
    // eight pixels from any of its positions.
    const int32_t mixedW = hi - lo + 1;
    std::vector<TColor32> mixed(static_cast<size_t>(mixedW) + 8), line(static_cast<size_t>(clipW));
    uint32_t masterAlpha = src.MasterAlpha();
    for (size_t j = 0; j < rows.size(); ++j) {
        TColor32* out = dst.PixelPtr(dstClip.Left, dstClip.Top + static_cast<int32_t>(j));
        bool sameAsBefore = j > 0 && rows[j].pos == rows[j - 1].pos && rows[j].next == rows[j - 1].next &&
                            rows[j].weight == rows[j - 1].weight;
        if (mode == dmOpaque && sameAsBefore) {
            std::memcpy(out, out - dst.Width(), static_cast<size_t>(clipW) * 4);
            continue;
        }
        // Opaque rows are mixed straight into the destination.
        TColor32* into = mode == dmOpaque ? out : line.data();
        if (!sameAsBefore) {
            thorn::LerpRow(src.PixelPtr(lo, rows[j].pos), src.PixelPtr(lo, rows[j].next), rows[j].weight, mixed.data(),
                           mixedW);
            thorn::LerpGatherRow(mixed.data(), static_cast<int32_t>(mixed.size()), first.data(), second.data(),
                                 weight.data(), into, clipW);
        }
        switch (mode) {
        case dmOpaque:
            break;
        case dmBlend:
            BlendLineEx(line.data(), out, clipW, masterAlpha);
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
