#include "export/PieceProvinces.h"

#include "model/mapproject.h"

namespace thorn {

std::vector<uint8_t> ProvinceOfEachPiece(const CMapProject& project) {
    constexpr uint8_t kNone = 255;
    std::vector<uint8_t> province(project.MapPieces.GetCount(), kNone);
    // One pass over the provinces instead of a search per piece; the first
    // province of a piece keeps it.
    for (uint32_t i = 0; i < project.Provinces.GetCount(); ++i) {
        const CProvince* p = project.Provinces.GetAt(static_cast<uint8_t>(i));
        if (!p) continue;
        const uint16_t piece = static_cast<uint16_t>(p->MapPieceIndex);
        if (piece < province.size() && province[piece] == kNone) province[piece] = static_cast<uint8_t>(i);
    }
    return province;
}

}  // namespace thorn
