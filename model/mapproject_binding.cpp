// Binding provinces to the map pieces under them.
#include "model/mapproject.h"

int CMapProject::IsPieceOccupied(uint32_t n) const {
    if (n == 0xFFFFFFFFu) return 1;
    const CProvinceMap* piece = MapPieces.GetAt(static_cast<uint16_t>(n));
    if (!piece || piece->Kind < CProvinceMap::Province) return 1;
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        const CProvince* province = Provinces.GetAt(static_cast<uint8_t>(i));
        if (province && province->BoundToPiece && static_cast<uint32_t>(province->MapPieceIndex) == n) return 1;
    }
    return 0;
}

int CMapProject::AttachProvinceToPiece(CProvince* province, uint16_t n) {
    if (!province || !MapPieces.GetAt(n)) return 0;
    BindProvince(*province, n);
    RedrawPiece(n);
    return 0;
}

void CMapProject::BindProvince(CProvince& province, uint16_t n) {
    const CProvinceMap& piece = *MapPieces.GetAt(n);
    province.BoundToPiece = 1;
    province.MapPieceIndex = n;
    province.SetCastleX(piece.CastleX);
    province.SetCastleY(piece.CastleY);
    province.SetArmyX(piece.ArmyX);
    province.SetArmyY(piece.ArmyY);
    UpdateCastleIconLayer(&province);
    UpdateArmyIconLayer(&province);
}

int CMapProject::DetachProvince(CProvince* province) {
    if (!province) return 1;
    province->BoundToPiece = 0;
    province->MapPieceIndex = -1;
    province->SetCastleX(province->FreeX);
    province->SetCastleY(province->FreeY);
    province->SetArmyX(province->FreeX);
    province->SetArmyY(province->FreeY);
    UpdateCastleIconLayer(province);
    UpdateArmyIconLayer(province);
    return 1;
}

int CMapProject::AttachFreeProvinces() {
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince* province = Provinces.GetAt(static_cast<uint8_t>(i));
        if (!province || province->BoundToPiece) continue;
        const int32_t n = GetPieceAt(province->FreeX, province->FreeY);
        if (IsPieceOccupied(static_cast<uint32_t>(n)) != 0) continue;
        AttachProvinceToPiece(province, static_cast<uint16_t>(n));
        PlaceIconLayer(FindIconLayer(province));
    }
    return 1;
}
