#include "editor/PlayerCapital.h"

#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/ProvinceBlink.h"
#include "editor/ProvinceInspector.h"
#include "editor/ProvinceSelection.h"
#include "editor/SelectionInfo.h"

thorn::SavedCastles SavedCastleData;

namespace thorn {

void SavedCastles::Save(const CProvince& province) { saved_[&province] = province.Castle; }

bool SavedCastles::Restore(CProvince& province) {
    const auto found = saved_.find(&province);
    if (found == saved_.end()) return false;
    const CCastleDataB& castle = found->second;
    if (province.Castle.Flags != castle.Flags || province.Castle.Buildings != castle.Buildings ||
        province.Castle.HitPoints != castle.HitPoints) {
        province.Castle = castle;
        MapProject->MarkModified();
    }
    saved_.erase(found);
    return true;
}

}  // namespace thorn

namespace {

constexpr uint8_t kFullHitPoints = 100;
constexpr uint8_t kCastleIcon = 1;
constexpr uint8_t kCapitalIcon = 2;

bool IsSomeonesCapital(const CProvince& province) {
    for (uint32_t i = 0; i < MapProject->Players.GetCount(); ++i)
        if (MapProject->Players[i].Capital == &province) return true;
    return false;
}

// A former capital: its own castle back, or, with none saved (a capital
// read from a project file), the castle it has; the icon shows which, and
// the label the income the castle brings.
void StepDown(CProvince& province) {
    SavedCastleData.Restore(province);
    const bool castle = (province.Castle.Flags & CCastleDataB::kPresent) != 0;
    MapProject->SetCastleIcon(&province, castle ? kCastleIcon : 0);
    MapProject->UpdateProvinceLabel(&province);
}

}  // namespace

int SwitchCapital(uint8_t n, CProvince* province) {
    if (n >= CMapProject::kMaxPlayers || !MapProject || n >= MapProject->Players.GetCount()) return 0;
    CPlayerData& player = MapProject->Players[n];
    CProvince* old = player.Capital;
    // The capital it has: saving its castle now would keep the capital's
    // castle in place of the one it had before.
    if (old == province) return 1;
    player.SetCapital(province);
    if (old && !IsSomeonesCapital(*old)) StepDown(*old);
    if (province) {
        // Taken from another player it is a capital already: the castle it
        // had before that is the one kept for it.
        bool wasCapital = false;
        for (uint32_t i = 0; i < MapProject->Players.GetCount(); ++i) {
            CPlayerData& other = MapProject->Players[i];
            if (i == n || other.Capital != province) continue;
            other.SetCapital(nullptr);
            wasCapital = true;
        }
        if (!wasCapital) SavedCastleData.Save(*province);
        province->SetOwner(n);
        province->SetHasCastle(1);
        province->SetMoat(1);
        province->SetWalls(1);
        province->SetCatapults(CCastleDataB::kMaxCatapults);
        province->SetCastleHP(kFullHitPoints);
        MapProject->SetCastleIcon(province, kCapitalIcon);
        MapProject->UpdateProvinceLabel(province);
    }
    RefreshProvinceInspector(MapProject->Selection);
    return 1;
}

void ReleasePlayer(uint8_t n) {
    if (!MapProject || !MainForm) return;
    const bool shown = MainForm->LVPlayers->GetItemIndex() == n;
    if (shown) {
        StopProvinceBlink();
        ClearSelection(MapProject->Selection);
    }
    SwitchCapital(n, nullptr);
    const CStringTable* table = thorn::StringTableInUse();
    const std::string none = table ? table->GetPlayerName(CProvince::kNoOwner) : std::string("none");
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        if (province->Owner != n) continue;
        province->SetOwner(CProvince::kNoOwner);
        MapProject->RedrawPiece(static_cast<uint16_t>(province->MapPieceIndex & 0xFFFF));
        if (TListItem* row = MainForm->LVProvinces->FindData(0, province, true, false)) {
            TStrings& columns = *row->GetSubItems();
            if (columns.GetCount() > 0) columns.Put(0, none);
            else columns.Add(none);
        }
    }
    if (shown) RefreshSelectionInfo(n);
}
