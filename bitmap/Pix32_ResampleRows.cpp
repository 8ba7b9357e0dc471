#include "bitmap/Pix32_ResampleRows.h"

#include <algorithm>

namespace thorn {

namespace {

inline uint32_t ChannelOf(int32_t sum, bool clamp) {
    if (clamp) sum = std::clamp(sum, 0, 0xFF0000);
    return (static_cast<uint32_t>(sum) & 0xFF0000u) >> 16;
}

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
        out[k] = ChannelOf(sums[0], clamp) | ChannelOf(sums[1], clamp) << 8 | ChannelOf(sums[2], clamp) << 16 |
                 ChannelOf(sums[3], clamp) << 24;
    }
}

void ResampleRows::Vertical(const TBitmap32& src, int32_t lo, std::span<const TMappingEntry> cluster) {
    VerticalReference(src, lo, cluster);
}

void ResampleRows::Horizontal(int32_t lo, const TMappingTable& mapX, bool clamp, TColor32* out) const {
    HorizontalReference(lo, mapX, clamp, out);
}

}  // namespace thorn
