#include "export/WorldBytes.h"

#include <algorithm>

#include "model/mapproject.h"

namespace thorn {

void FillPieceMask(const CProvinceMap& piece, uint8_t value, WorldBytes& picture) {
    if (!piece.Mask) return;
    const TBitmap32& mask = *piece.Mask;
    const int32_t width = std::min<int32_t>(mask.Width(), picture.width - piece.Left);
    const int32_t height = std::min<int32_t>(mask.Height(), picture.height - piece.Top);
    for (int32_t v = 0; v < height; ++v) {
        const TColor32* row = mask.ScanLine(v);
        uint8_t* out = picture.Row(piece.Top + v) + piece.Left;
        // Without a branch, so that the compiler makes it vector code.
        for (int32_t u = 0; u < width; ++u) out[u] = row[u] != 0 ? value : out[u];
    }
}

void FillLandAndWater(CMapProject& project, WorldBytes& picture,
                      const std::function<std::optional<uint8_t>(const CProvinceMap& piece)>& valueOf) {
    const uint16_t pieceCount = project.MapPieces.GetCount();
    project.ShowProgress("Compress land and water...", pieceCount);
    for (uint16_t k = 0; k < pieceCount; ++k) {
        project.SetProgress(k + 1);
        const CProvinceMap& piece = *project.MapPieces.GetAt(k);
        if (piece.IsProvince()) continue;
        if (const auto value = valueOf(piece)) FillPieceMask(piece, *value, picture);
    }
}

}  // namespace thorn
