// A new mission built on a freshly imported world picture, and the provinces
// bound again after the world picture was replaced.
#include <algorithm>
#include <exception>
#include <new>
#include <string_view>
#include <vector>

#include "model/GameData.h"
#include "model/mapproject.h"

int CMapProject::NewMissionFromImage() {
    // A mission half built is no mission: whatever stops the build (the
    // catalogue, memory, a picture the layers cannot take), the designer is
    // told and the project goes back to empty.
    auto fail = [this](std::string_view message) {
        Reset();
        HideProgress();
        Editor().ShowError(message);
        return 0;
    };
    try {
        // The whole catalogue is checked before the project takes any of it.
        ReadGameDataId();
        LoadGameData(*this);
        LoadAbilities(*this);
        ResizePlayerData();
        CreateProvinces();
        CreateNeighbourLinksLayer();
        const PaintingAtOnce atOnce(*this);
        RedrawPieces(1);
        DrawPieces();
        DrawNeighbourLinks();
        UpdateIconLayers();
    } catch (const std::bad_alloc&) {
        return fail("There is not enough memory to build the mission");
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    // A new mission has nothing unsaved yet.
    Modified = 0;
    return 1;
}

int32_t CMapProject::PieceUnderProvince(CProvince& province) {
    // A point on the new world's right or bottom edge is taken inside it.
    constexpr int32_t kEdge = 5, kInside = 30;
    if (province.FreeX >= WorldWidth - kEdge) province.FreeX = static_cast<uint16_t>(std::max(WorldWidth - kInside, 0));
    if (province.FreeY >= WorldHeight - kEdge)
        province.FreeY = static_cast<uint16_t>(std::max(WorldHeight - kInside, 0));
    return GetPieceAt(province.FreeX, province.FreeY);
}

int CMapProject::RebindProvinces() {
    try {
        LoadAbilities(*this);
    } catch (const thorn::EGameDataError& error) {
        // The lists read before stay; the provinces are bound all the same.
        Editor().ShowError(error.what());
    }
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) DetachProvince(Provinces.GetAt(static_cast<uint8_t>(i)));
    // Binding a province repaints its piece; every piece is repainted below
    // from the same state, so the pieces are only bound here. A bound
    // piece's paint is the same each time and pieces never share a pixel:
    // only a piece with translucent pixels shows the paint it missed, which
    // it gets once more at the end.
    std::vector<uint16_t> bound;
    for (uint16_t i = 0; i < Provinces.GetCount(); ++i) {
        CProvince& province = *Provinces.GetAt(static_cast<uint8_t>(i));
        const int32_t n = PieceUnderProvince(province);
        if (n != -1 && IsPieceOccupied(static_cast<uint32_t>(n)) == 0) {
            BindProvince(province, static_cast<uint16_t>(n));
            bound.push_back(static_cast<uint16_t>(n));
        } else {
            DetachProvince(&province);
        }
    }
    const PaintingAtOnce atOnce(*this);
    RedrawPieces(1);
    DrawPieces();
    for (uint16_t n : bound)
        if (!MapPieces.GetAt(n)->MaskIsZeroOrOpaque()) DrawMapPiece(n);
    DrawNeighbourLinks();
    // Points moved in from the edges take their markers with them.
    UpdateIconLayers();
    return 1;
}
