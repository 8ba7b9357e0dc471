#include "editor/ProvinceSelection.h"

#include <functional>

#include "editor/GridRows.h"
#include "editor/Main.h"
#include "editor/ProvinceInspector.h"
#include "model/StringTable.h"

namespace {

// The first row of the provinces list that stands for the province.
TListItem* ProvinceRow(const CProvince* province) {
    if (!MainForm || !province) return nullptr;
    return MainForm->LVProvinces->FindData(0, province, true, false);
}

uint16_t PieceOf(const CProvince& province) { return static_cast<uint16_t>(province.MapPieceIndex); }

// The value every selected province gives, or mixed where they differ or
// none is selected.
template <typename T>
T CommonValue(const CSelect& selection, T mixed, const std::function<T(const CProvince&)>& value) {
    bool first = true;
    T common = mixed;
    for (const CProvince* province : selection.Provinces) {
        if (!province) continue;
        const T v = value(*province);
        if (first) {
            common = v;
            first = false;
        } else if (v != common) {
            return mixed;
        }
    }
    return common;
}

template <typename Fn>
int ForEachSelected(CSelect& selection, Fn&& fn) {
    for (CProvince* province : selection.Provinces)
        if (province) fn(*province);
    return 1;
}

}  // namespace

// ---------------------------------------------------------------- membership

void SelectProvince(CSelect& selection, CProvince* province) {
    if (!province || IsProvinceSelected(selection, province)) return;
    const uint8_t owner = GetSelectionOwner(selection);
    TListItem* row = ProvinceRow(province);
    if (selection.GetCount() > 0 && province->Owner != owner) {
        if (row) row->SetSelected(false);
        return;
    }
    selection.Add(province);
    if (MapProject) MapProject->SelectMapPiece(PieceOf(*province));
    if (row) row->SetSelected(true);
    RefreshProvinceInspector(selection);
}

int DeselectProvince(CSelect& selection, CProvince* province) {
    if (!IsProvinceSelected(selection, province)) return 0;
    if (MapProject && province->MapPieceIndex != -1) MapProject->DeselectMapPiece(PieceOf(*province));
    selection.Remove(province);
    if (TListItem* row = ProvinceRow(province)) row->SetSelected(false);
    if (selection.GetCount() == 0 && MainForm) MainForm->RMIProvince->SetItemIndex(-1);
    RefreshProvinceInspector(selection);
    return 1;
}

void ClearSelection(CSelect& selection) {
    selection.Busy = 1;
    if (MainForm) {
        MainForm->RMIProvince->SetItemIndex(-1);
        MainForm->RMIProvince->ClearItems();
        TListItems& rows = *MainForm->LVProvinces->GetItems();
        for (int i = 0; i < rows.GetCount(); ++i)
            if (rows[i]->GetSelected()) rows[i]->SetSelected(false);
    }
    // A province whose row is gone (the list was emptied first) still
    // leaves the selection, and its piece is unmarked.
    for (CProvince* province : std::vector<CProvince*>(selection.Provinces))
        if (province) DeselectProvince(selection, province);
    selection.Clear();
    selection.Busy = 0;
}

int IsProvinceSelected(const CSelect& selection, const CProvince* province) {
    return selection.Contains(province) ? 1 : 0;
}

int ToggleProvinceSelection(CSelect& selection, CProvince* province) {
    if (IsProvinceSelected(selection, province))
        DeselectProvince(selection, province);
    else
        SelectProvince(selection, province);
    selection.Busy = 0;
    RefreshProvinceInspector(selection);
    return 1;
}

void SelectProvincesOfOwner(CSelect& selection, uint8_t owner) {
    ClearSelection(selection);
    if (!MapProject || owner == CProvinceB::kNoOwner) return;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        if (province && province->Owner == owner) SelectProvince(selection, province);
    }
}

CProvince* GetSingleSelectedProvince(const CSelect& selection) {
    if (selection.GetCount() != 1) return nullptr;
    for (CProvince* province : selection.Provinces)
        if (province) return province;
    return nullptr;
}

uint8_t GetSelectionOwner(const CSelect& selection) {
    const uint8_t owner = CommonValue<uint8_t>(selection, kOwnersDiffer, [](const CProvince& p) { return p.Owner; });
    return selection.GetCount() == 0 ? CProvinceB::kNoOwner : owner;
}

// ---------------------------------------------------------------- common values

uint8_t GetSelectionCommonValue(const CSelect& selection, CastleField field) {
    return CommonValue<uint8_t>(selection, kMixedByte, [field](const CProvince& p) -> uint8_t {
        const CCastleDataB& castle = p.Castle;
        switch (field) {
            case CastleField::Present: return (castle.Flags & CCastleDataB::kPresent) ? 1 : 0;
            case CastleField::Moat: return (castle.Flags & CCastleDataB::kMoat) ? 1 : 0;
            case CastleField::Walls: return (castle.Flags & CCastleDataB::kWalls) ? 1 : 0;
            case CastleField::Catapults:
                return static_cast<uint8_t>((castle.Flags & CCastleDataB::kCatapultMask) >> CCastleDataB::kCatapultShift);
            case CastleField::HitPoints: return castle.HitPoints;
        }
        return 0;
    });
}

uint8_t GetSelectionCommonBuilding(const CSelect& selection, uint8_t mask) {
    return CommonValue<uint8_t>(selection, kMixedByte,
                                [mask](const CProvince& p) { return static_cast<uint8_t>(p.Castle.Buildings & mask); });
}

uint16_t GetSelectionCommonResource(const CSelect& selection, uint8_t resource) {
    if (!MapProject || resource >= MapProject->ResourceCount()) return kMixedResource;
    return CommonValue<uint16_t>(selection, kMixedResource, [resource](const CProvince& p) -> uint16_t {
        return resource < p.Resources.GetCount() ? p.Resources[resource] : 0;
    });
}

uint32_t GetSelectionCommonArmy(const CSelect& selection, uint8_t unitType) {
    if (!MapProject || unitType >= MapProject->UnitTypeCount()) return kMixedArmy;
    return CommonValue<uint32_t>(selection, kMixedArmy, [unitType](const CProvince& p) -> uint32_t {
        return unitType < p.GuardianArmy.GetCount() ? p.GuardianArmy[unitType] : 0;
    });
}

// ---------------------------------------------------------------- edits

int SetSelectionOwner(CSelect& selection, uint8_t owner) {
    if (!MapProject) return 1;
    CMapProject& project = *MapProject;
    const CStringTable* table = thorn::StringTableInUse();
    const std::string ownerName = table ? table->GetPlayerName(owner) : std::string("none");
    return ForEachSelected(selection, [&](CProvince& province) {
        if (province.Owner != CProvinceB::kNoOwner)
            if (CPlayerData* former = project.PlayerAt(province.Owner); former && former->Capital == &province)
                former->SetCapital(nullptr);
        province.SetOwner(owner);
        if (TListItem* row = ProvinceRow(&province)) {
            TStrings& columns = *row->GetSubItems();
            if (columns.GetCount() == 0)
                columns.Add(ownerName);
            else
                columns.Put(0, ownerName);
        }
        if (province.MapPieceIndex != -1) project.RedrawPiece(PieceOf(province));
        project.SetCastleIcon(&province, (province.Castle.Flags & CCastleDataB::kPresent) ? 1 : 0);
    });
}

int SetSelectionHasCastle(CSelect& selection, uint8_t present) {
    return ForEachSelected(selection, [present](CProvince& province) {
        province.SetHasCastle(present);
        if (MapProject) MapProject->SetCastleIcon(&province, present);
    });
}

int SetSelectionMoat(CSelect& selection, uint8_t value) {
    return ForEachSelected(selection, [value](CProvince& province) { province.SetMoat(value); });
}

int SetSelectionWalls(CSelect& selection, uint8_t value) {
    return ForEachSelected(selection, [value](CProvince& province) { province.SetWalls(value); });
}

int SetSelectionCatapults(CSelect& selection, uint8_t count) {
    return ForEachSelected(selection, [count](CProvince& province) { province.SetCatapults(count); });
}

int SetSelectionBuilding(CSelect& selection, uint8_t mask, uint8_t value) {
    return ForEachSelected(selection, [mask, value](CProvince& province) { province.SetBuilding(mask, value); });
}

int SetSelectionCastleHP(CSelect& selection, uint8_t percent) {
    return ForEachSelected(selection, [percent](CProvince& province) { province.SetCastleHP(percent); });
}

int SetSelectionGuardianArmy(CSelect& selection, uint8_t unitType, uint32_t count) {
    return ForEachSelected(selection,
                           [unitType, count](CProvince& province) { province.SetGuardianArmy(unitType, count); });
}

int SetSelectionResource(CSelect& selection, uint8_t resource, uint16_t value) {
    return ForEachSelected(selection,
                           [resource, value](CProvince& province) { province.SetResource(resource, value); });
}
