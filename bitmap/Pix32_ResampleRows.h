#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/Pix32.h"
#include "bitmap/Pix32_Transfer.h"

namespace thorn {

// The work line of the kernel resampler: for one destination row, the
// weighted sums of every needed source column down that row's cluster
// (vertical pass), then those sums weighted across each column cluster
// (horizontal pass). Sums are exact integers in 16.16 (weights of 256 in
// each direction), four per column in the memory order blue, green, red,
// alpha.
class ResampleRows {
public:
    explicit ResampleRows(int32_t columns) : cells_(static_cast<size_t>(columns) * 4) {}

    // cells[x - lo] = sum over the cluster of pixel (x, e.Pos) * e.Weight.
    void Vertical(const TBitmap32& src, int32_t lo, std::span<const TMappingEntry> cluster);
    // One colour per column cluster: bits 16..23 of each channel's sum,
    // clamped to 0..255 first when clamp is set.
    void Horizontal(int32_t lo, const TMappingTable& mapX, bool clamp, TColor32* out) const;

    // The plain per-channel passes the fast ones must match.
    void VerticalReference(const TBitmap32& src, int32_t lo, std::span<const TMappingEntry> cluster);
    void HorizontalReference(int32_t lo, const TMappingTable& mapX, bool clamp, TColor32* out) const;

    std::span<const int32_t> Cells() const { return cells_; }

private:
    std::vector<int32_t> cells_;
};

}  // namespace thorn
