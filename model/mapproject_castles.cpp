// The castle and army places inside the province pieces.
#include "model/mapproject.h"

namespace {

// The largest square, from side 100 down in steps of 2 and at last side 1,
// that fits the piece's mask; its centre relative to the box. Answers
// whether the side stayed at or above the threshold; a mask on which not
// even one pixel is free gets the box's centre and answers false.
bool FindIconPlace(const CProvinceMap& piece, int32_t threshold, bool full, uint16_t& x, uint16_t& y) {
    int32_t side = 100;
    TPoint corner = piece.FindSquare(side, side);
    while (corner.X < 0) {
        side = side > 2 ? side - 2 : side == 2 ? 1 : 0;
        if (side < threshold) full = false;
        if (side == 0) {
            x = static_cast<uint16_t>((piece.Right - piece.Left) / 2);
            y = static_cast<uint16_t>((piece.Bottom - piece.Top) / 2);
            return false;
        }
        corner = piece.FindSquare(side, side);
    }
    x = static_cast<uint16_t>(corner.X + side / 2);
    y = static_cast<uint16_t>(corner.Y + side / 2);
    return full;
}

}  // namespace

void CMapProject::CalcCastlePlaces() {
    ShowProgress("Castle's places calculating...", MapPieces.GetCount());
    for (uint16_t i = 0; i < MapPieces.GetCount(); ++i) {
        SetProgress(i);
        CProvinceMap& piece = *MapPieces.GetAt(i);
        if (!piece.IsProvince()) continue;
        bool full = FindIconPlace(piece, 20, true, piece.CastleX, piece.CastleY);
        if (!full) piece.Kind = CProvinceMap::SmallProvince;
        // The castle place is kept out of the army square.
        TBitmap32& mask = *piece.Mask;
        for (int32_t dy = 0; dy < 2; ++dy)
            for (int32_t dx = 0; dx < 2; ++dx)
                mask.SetPixelS(piece.CastleX + dx, piece.CastleY + dy, CProvinceMap::kReservedPixel);
        full = FindIconPlace(piece, 15, full, piece.ArmyX, piece.ArmyY);
        if (!full) piece.Kind = CProvinceMap::SmallProvince;
    }
}
