// The castle and army places inside the province pieces.
#include <algorithm>
#include <vector>

#include "model/mapproject.h"

namespace {

constexpr int32_t kLargestSide = 100;

struct Square {
    int32_t side = 0;  // 0: no usable pixel at all
    int32_t x = 0;     // top-left corner
    int32_t y = 0;
};

// The square an icon gets: sides 100, 98, 96 ... 2 and at last 1 are tried
// in turn, and the first side that fits somewhere is taken at its first
// corner, rows from the top and each row from the left. A square of side s
// fits with its bottom-right corner at a pixel exactly when the largest
// square of usable pixels (neither 0 nor reserved) ending there has side s
// or more; those sides are found row by row from the top, and first corners
// by bottom-right and by top-left come in the same order. A side of 100 is
// taken at once. The pixels of keepOut count as empty too: the mask itself
// is only read, so it keeps exactly the piece's pixels however often the
// places are sought again.
Square FindIconSquare(const TBitmap32& mask, const TRect& keepOut) {
    const int32_t w = mask.Width(), h = mask.Height();
    std::vector<uint8_t> above(static_cast<size_t>(w) + 1, 0), here(static_cast<size_t>(w) + 1, 0);
    // The first pixel, as y * w + x, at which each side ends.
    std::vector<int64_t> firstEnd(kLargestSide + 1, -1);
    for (int32_t y = 0; y < h; ++y) {
        const TColor32* row = mask.ScanLine(y);
        const bool rowKeptOut = y >= keepOut.Top && y < keepOut.Bottom;
        for (int32_t x = 0; x < w; ++x) {
            uint8_t side = 0;
            const bool keptOut = rowKeptOut && x >= keepOut.Left && x < keepOut.Right;
            if (row[x] != 0 && row[x] != CProvinceMap::kReservedPixel && !keptOut) {
                side = static_cast<uint8_t>(std::min<int32_t>(kLargestSide, 1 + std::min({here[x], above[x], above[x + 1]})));
                if (side == kLargestSide) return {kLargestSide, x - kLargestSide + 1, y - kLargestSide + 1};
                if (firstEnd[side] < 0) firstEnd[side] = int64_t{y} * w + x;
            }
            here[x + 1] = side;
        }
        std::swap(above, here);
    }
    int32_t largest = kLargestSide;
    while (largest > 0 && firstEnd[largest] < 0) --largest;
    if (largest == 0) return {};
    const int32_t side = largest >= 2 ? largest / 2 * 2 : 1;
    int64_t end = -1;
    for (int32_t s = side; s <= largest; ++s)
        if (firstEnd[s] >= 0 && (end < 0 || firstEnd[s] < end)) end = firstEnd[s];
    return {side, static_cast<int32_t>(end % w) - side + 1, static_cast<int32_t>(end / w) - side + 1};
}

// The icon place: the centre of the icon's square, relative to the box, or
// the box's centre when no pixel is usable. Answers whether the icon stays
// full size: it does not once a side below the threshold was tried.
bool FindIconPlace(const CProvinceMap& piece, const TRect& keepOut, int32_t threshold, bool full, uint16_t& x,
                   uint16_t& y) {
    const Square square = FindIconSquare(*piece.Mask, keepOut);
    if (square.side == 0) {
        x = static_cast<uint16_t>((piece.Right - piece.Left) / 2);
        y = static_cast<uint16_t>((piece.Bottom - piece.Top) / 2);
        return false;
    }
    x = static_cast<uint16_t>(square.x + square.side / 2);
    y = static_cast<uint16_t>(square.y + square.side / 2);
    return full && square.side >= threshold;
}

}  // namespace

void CMapProject::CalcCastlePlaces() {
    ShowProgress("Castle's places calculating...", MapPieces.GetCount());
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        SetProgress(i);
        CProvinceMap& piece = *MapPieces.GetAt(i);
        if (!piece.IsProvince()) continue;
        bool full = FindIconPlace(piece, TRect{}, 20, true, piece.CastleX, piece.CastleY);
        if (!full) piece.Kind = CProvinceMap::SmallProvince;
        // The army's square may not cover the castle place's 2 x 2 pixels.
        const TRect castle{piece.CastleX, piece.CastleY, piece.CastleX + 2, piece.CastleY + 2};
        full = FindIconPlace(piece, castle, 15, full, piece.ArmyX, piece.ArmyY);
        if (!full) piece.Kind = CProvinceMap::SmallProvince;
    }
}
