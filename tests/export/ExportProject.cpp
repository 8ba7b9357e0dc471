#include "ExportProject.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace thorn::test {

ExportProject::ExportProject() { project.SetEditorLink(&editor); }
ExportProject::~ExportProject() { project.SetEditorLink(nullptr); }

void ExportProject::SetGameData(int resources, int unitTypes) {
    project.NumResources = static_cast<uint8_t>(resources);
    project.NumStandardUnits = static_cast<uint8_t>(unitTypes);
    project.NumNonStandardUnits = 0;
    project.Players.Resize(6);
    for (uint32_t i = 0; i < 6; ++i) {
        CPlayerData& player = project.Players[i];
        player.Treasury.SetSize(resources);
        player.CampaignArmy.SetSize(unitTypes);
        player.UnitTypes.SetSize(unitTypes);
        for (int j = 0; j < unitTypes; ++j) player.UnitTypes[j] = static_cast<uint32_t>(j);
    }
    if (project.Tables.GetCount() == 0) project.Tables.Add(std::make_unique<CStringTable>());
    project.CurrentStringTable = 0;
    project.VictoryConds.Data.Army.Units.SetSize(unitTypes);
    project.VictoryConds.Data.Resources.Amounts.SetSize(resources);
}

void ExportProject::SetPieces(int32_t width, int32_t height, const std::function<int(int32_t, int32_t)>& label,
                              const std::vector<uint32_t>& kinds) {
    project.WorldWidth = static_cast<uint16_t>(width);
    project.WorldHeight = static_cast<uint16_t>(height);
    project.MapPieces.Clear();
    project.MapIndexes.Resize(width, height);
    struct Box {
        int32_t left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    };
    std::vector<Box> boxes(kinds.size());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int n = label(x, y);
            if (n < 0) continue;
            Box& b = boxes.at(static_cast<size_t>(n));
            b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
            project.MapIndexes.Set(x, y, n);
        }
    for (size_t n = 0; n < kinds.size(); ++n) {
        auto piece = std::make_unique<CProvinceMap>();
        const Box& b = boxes[n];
        piece->Kind = kinds[n];
        piece->Left = static_cast<uint16_t>(b.left);
        piece->Top = static_cast<uint16_t>(b.top);
        piece->Right = static_cast<uint16_t>(b.right);
        piece->Bottom = static_cast<uint16_t>(b.bottom);
        piece->Mask->SetSize(b.right - b.left + 1, b.bottom - b.top + 1);
        for (int32_t y = b.top; y <= b.bottom; ++y)
            for (int32_t x = b.left; x <= b.right; ++x)
                if (label(x, y) == static_cast<int>(n)) {
                    piece->Mask->SetPixel(x - b.left, y - b.top, CProvinceMap::kMergedPixel);
                    ++piece->PixelCount;
                }
        project.MapPieces.Add(std::move(piece));
    }
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int n = label(x, y);
            if (n < 0) continue;
            for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                if (x + dx >= width || y + dy >= height) continue;
                const int m = label(x + dx, y + dy);
                if (m >= 0 && m != n) project.MapPieces.GetAt(static_cast<uint16_t>(n))->AddNeighbour(static_cast<uint16_t>(m));
            }
        }
}

CProvince& ExportProject::BindProvince(uint16_t piece) {
    auto province = std::make_unique<CProvince>();
    province->SetResourceCount(project.NumResources);
    province->GuardianArmy.SetSize(project.UnitTypeCount());
    province->MapPieceIndex = piece;
    province->BoundToPiece = 1;
    const CProvinceMap& map = *project.MapPieces.GetAt(piece);
    province->CastleX = map.CastleX;
    province->CastleY = map.CastleY;
    province->ArmyX = map.ArmyX;
    province->ArmyY = map.ArmyY;
    CProvince& raw = *province;
    const int index = project.Provinces.Add(std::move(province));
    if (index < 0) throw std::runtime_error("too many provinces");
    Table().ProvinceNames[static_cast<size_t>(index)] = "P" + std::to_string(index);
    return raw;
}

void ExportProject::BindAllProvincePieces() {
    for (uint16_t n = 0; n < project.MapPieces.GetCount(); ++n)
        if (project.MapPieces.GetAt(n)->IsProvince()) BindProvince(n);
}

void ExportProject::MakePlayable() {
    for (uint32_t slot = 0; slot < 2; ++slot) {
        CPlayerData& player = Player(slot);
        player.Active = 1;
        player.PlayerType = 0;
        player.Capital = project.Provinces.GetAt(static_cast<uint8_t>(slot));
        player.Capital->Owner = static_cast<uint8_t>(slot);
    }
}

}  // namespace thorn::test
