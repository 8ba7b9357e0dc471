// Kernel resampling: the filter kernels, the per-axis weight tables and the
// two-pass resampler.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "bitmap/Pix32_Blend.h"
#include "bitmap/Pix32_Transfer.h"
#include "bitmap/Pix32_ResampleRows.h"

namespace {

float Sinc(float t) {
    if (t == 0) return 1;
    float pt = static_cast<float>(std::numbers::pi * t);
    return static_cast<float>(std::sin(static_cast<double>(pt)) / pt);
}

}  // namespace

float thorn::FilterKernel(TStretchFilter filter, float x) {
    float a = std::fabs(x);
    switch (filter) {
    case sfNearest:
        return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f;
    case sfLinear:
        if (x >= -1 && x < 0) return x + 1;
        if (x >= 0 && x < 1) return 1 - x;
        return 0;
    case sfSpline:
        if (a < 1) return 0.5f * a * a * a - a * a + 2.0f / 3;
        if (a < 2) return (2 - a) * (2 - a) * (2 - a) / 6;
        return 0;
    case sfLanczos:
        return a < 3 ? Sinc(a) * Sinc(a / 3) : 0.0f;
    case sfMitchell:
        if (a < 1) return (7 * a * a * a - 12 * a * a + 16.0f / 3) / 6;
        if (a < 2) return (-7.0f / 3 * a * a * a + 12 * a * a - 20 * a + 32.0f / 3) / 6;
        return 0;
    }
    return 0;
}

float thorn::FilterWidth(TStretchFilter filter) {
    switch (filter) {
    case sfNearest:
    case sfLinear:
        return 1.0f;
    case sfSpline:
    case sfMitchell:
        return 2.0f;
    case sfLanczos:
        return 3.0f;
    }
    return 1.0f;
}

TMappingTable thorn::BuildMappingTable(int32_t DstLo, int32_t DstHi, int32_t ClipLo, int32_t ClipHi, int32_t SrcLo,
                                       int32_t SrcHi, TStretchFilter Filter) {
    int32_t dstW = DstHi - DstLo, srcW = SrcHi - SrcLo, clipW = std::max(ClipHi - ClipLo, 0);
    if (srcW <= 0) return {};
    if (srcW == 1) return TMappingTable(static_cast<size_t>(clipW), {{SrcLo, 256}});
    TMappingTable table(static_cast<size_t>(clipW));
    double scale = FullEdge ? static_cast<double>(dstW) / srcW : static_cast<double>(dstW - 1) / (srcW - 1);
    double width = FilterWidth(Filter);
    if (scale == 0) {
        if (clipW != 1) throw Exception("Assertion failure");
        table[0] = {{(SrcLo + SrcHi) / 2, 256}};
        return table;
    }
    double reach = scale >= 1 ? width : width / scale;
    for (int32_t k = 0; k < clipW; ++k) {
        double offset = k - DstLo + ClipLo;
        double c = FullEdge ? (SrcLo - 0.5) + (offset + 0.5) / scale : SrcLo + offset / scale;
        auto& cluster = table[k];
        int64_t first = static_cast<int64_t>(std::floor(c - reach)), last = static_cast<int64_t>(std::ceil(c + reach));
        for (int64_t j = first; j <= last; ++j) {
            double weight = scale >= 1
                                ? std::nearbyint(FilterKernel(Filter, static_cast<float>(c - j)) * 256.0)
                                : std::nearbyint(FilterKernel(Filter, static_cast<float>((c - j) * scale)) * 256.0 * scale);
            if (weight != 0)
                cluster.push_back({static_cast<int32_t>(std::clamp<int64_t>(j, SrcLo, SrcHi - 1)),
                                   static_cast<int32_t>(weight)});
        }
        if (cluster.empty())
            cluster.push_back({static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(std::floor(c)), SrcLo, SrcHi - 1)), 256});
        int32_t sum = 0;
        for (const auto& e : cluster) sum += e.Weight;
        cluster[(cluster.size() - 1) / 2].Weight -= sum - 256;
    }
    return table;
}

void thorn::Resample(TBitmap32& Dst, const TRect& DstRect, const TRect& DstClip, const TBitmap32& Src,
                     const TRect& SrcRect, TStretchFilter Filter, TDrawMode CombineOp,
                     const TPixelCombineEvent& CombineCallBack) {
    if (CombineOp == dmCustom && !CombineCallBack) CombineOp = dmOpaque;
    TMappingTable mapX = BuildMappingTable(DstRect.Left, DstRect.Right, DstClip.Left, DstClip.Right, SrcRect.Left,
                                           SrcRect.Right, Filter);
    TMappingTable mapY = BuildMappingTable(DstRect.Top, DstRect.Bottom, DstClip.Top, DstClip.Bottom, SrcRect.Top,
                                           SrcRect.Bottom, Filter);
    if (mapX.empty() || mapY.empty()) return;
    // The span of source columns any cluster reads; a later cluster can
    // reach further left than the first one's first non-zero entry.
    int32_t lo = mapX[0][0].Pos, hi = lo;
    for (const auto& cluster : mapX)
        for (const auto& e : cluster) lo = std::min(lo, e.Pos), hi = std::max(hi, e.Pos);
    bool clampSums = Filter == sfLanczos || Filter == sfMitchell;
    uint32_t masterAlpha = Src.MasterAlpha();

    ResampleRows rows(hi - lo + 1);
    std::vector<TColor32> line(mapX.size());
    for (size_t j = 0; j < mapY.size(); ++j) {
        rows.Vertical(Src, lo, mapY[j]);
        rows.Horizontal(lo, mapX, clampSums, line.data());
        TColor32* out = Dst.PixelPtr(DstClip.Left, DstClip.Top + static_cast<int32_t>(j));
        switch (CombineOp) {
        case dmOpaque:
            std::copy(line.begin(), line.end(), out);
            break;
        case dmBlend:
            for (size_t i = 0; i < line.size(); ++i) BlendMemEx(line[i], out[i], masterAlpha);
            break;
        case dmCustom:
            for (size_t i = 0; i < line.size(); ++i) CombineCallBack(line[i], out[i], masterAlpha);
            break;
        }
    }
}
