#pragma once

#include <cstdint>
#include <vector>

#include "bitmap/Pix32.h"

// Moving pixels from one bitmap into another: at their own size
// (BlockTransfer) or mapped onto a rectangle of any size (StretchTransfer),
// by nearest pixel, bilinear interpolation or kernel resampling. Both honour
// the draw mode: dmOpaque stores, dmBlend blends with the source's master
// alpha, dmCustom hands each pair of pixels to the callback. Neither calls
// Dst->Changed: callers do.

class ETransformError : public Exception {
    using Exception::Exception;
};

// How destination pixels map onto source pixels: false (the default, never
// changed by the editor) maps the first and last pixel centres onto each
// other; true maps the outer edges.
extern bool FullEdge;

// Copies SrcRect of Src with its top-left corner at (DstX, DstY), inside
// DstClip. A null or empty source does nothing; a null or empty destination
// throws ETransformError. Src may be Dst: overlapping areas are copied as
// they were before the call.
void BlockTransfer(TBitmap32* Dst, int32_t DstX, int32_t DstY, TRect DstClip, const TBitmap32* Src, TRect SrcRect,
                   TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack = {});

// Maps SrcRect of Src onto DstRect of Dst, writing only inside DstClip. A
// source rectangle reaching outside Src throws ETransformError.
void StretchTransfer(TBitmap32* Dst, TRect DstRect, TRect DstClip, const TBitmap32* Src, TRect SrcRect,
                     TStretchFilter StretchFilter, TDrawMode CombineOp,
                     const TPixelCombineEvent& CombineCallBack = {});

// One source position of a resampled pixel and its weight (256 = 1.0).
struct TMappingEntry {
    int32_t Pos = 0;
    int32_t Weight = 0;
    bool operator==(const TMappingEntry&) const = default;
};
// One cluster of entries per destination pixel of the clipped span.
using TMappingTable = std::vector<std::vector<TMappingEntry>>;

namespace thorn {

// The resampling kernels and their half-widths in source pixels.
float FilterKernel(TStretchFilter filter, float x);
float FilterWidth(TStretchFilter filter);

// The weights of one axis: destination span DstLo..DstHi, clipped to
// ClipLo..ClipHi, drawn from source span SrcLo..SrcHi. Every cluster sums
// to 256.
TMappingTable BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi, int32_t SrcLo,
                                int32_t SrcHi, TStretchFilter Filter);

// Copies the four bytes of each pixel of srcRect of src into dstRect of dst
// as they are, by nearest pixel when the sizes differ; only pixels inside
// both stores are read and written.
void CopyStretched(const PixelView& dst, const TRect& dstRect, const PixelView& src, const TRect& srcRect);

// The kernel resampler behind StretchTransfer (filters other than nearest,
// and linear when not enlarging both ways).
void Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src, const TRect& SrcRect,
              TStretchFilter Filter, TDrawMode CombineOp, const TPixelCombineEvent& CombineCallBack);

}  // namespace thorn
