// The main window's province commands: add and delete provinces, the icon
// places, generated income and generated names (the handlers are
// TMainForm's, declared in editor/Main.h).
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "editor/EditorWindows.h"
#include "editor/Main.h"
#include "editor/Missionframe.h"
#include "editor/ProvinceInspector.h"
#include "editor/SelectionInfo.h"
#include "model/StringTable.h"

namespace {

constexpr const char* kNoSampleNames =
    "No province names can be generated: \"data/names.txt\" holds no sample name of four letters or more.";

// The mission grid after the province list changed: no row current, the
// conditions that name provinces rebuilt.
void RefreshMissionConditions(TMainForm& f) {
    if (MissFrame) MissFrame->RMIMission->SetItemIndex(-1);
    f.Windows().RefreshVictoryConds();
    f.Windows().RefreshLoseConds();
}

// The selected provinces in the order of the province list.
std::vector<CProvince*> SelectedProvinces() {
    std::vector<CProvince*> selected;
    for (uint16_t i = 0; i < MapProject->Provinces.GetCount(); ++i) {
        CProvince* province = MapProject->Provinces.GetAt(static_cast<uint8_t>(i));
        if (MapProject->Selection.Contains(province)) selected.push_back(province);
    }
    return selected;
}

// A new value from draw that differs from the old one.
template <typename Draw>
uint16_t NewValue(uint16_t old, Draw draw) {
    uint16_t value = old;
    while (value == old) value = static_cast<uint16_t>(draw());
    return value;
}

uint16_t DrawIncome0() { return static_cast<uint16_t>(std::rand() % 4 + 2); }

uint16_t DrawIncome1() {
    uint16_t value = static_cast<uint16_t>(std::rand() % 3 + 2);
    if (std::rand() % 100 < 20) value = static_cast<uint16_t>(std::rand() % 3);
    return value;
}

uint16_t DrawIncome2() {
    uint16_t value = static_cast<uint16_t>(std::rand() % 4);
    if (std::rand() % 100 < 10) value = static_cast<uint16_t>(std::rand() % 3);
    return value;
}

// The province's row of the provinces list shows its new name.
void ShowProvinceName(TMainForm& f, const CProvince* province, const std::string& name) {
    TListItems& rows = *f.LVProvinces->GetItems();
    for (int i = 0; i < rows.GetCount(); ++i)
        if (rows[i]->GetData() == province) rows[i]->SetCaption(name);
}

// What shows the selected provinces after their values changed: the labels
// on the world view, the province grid and the selection's summary.
void ShowSelectedProvinces() {
    MapProject->UpdateAllLabels();
    RefreshProvinceInspector(MapProject->Selection);
    RefreshSelectionInfo(CProvinceB::kNoOwner);
}

}  // namespace

void TMainForm::ActAddProvinceExecute(TObject* sender) {
    if (!MapProject) return;
    if (MapProject->AddProvinceAtViewCentre()) MapProject->MarkModified();
    RefreshMissionConditions(*this);
}

void TMainForm::ActDelProvinceExecute(TObject* sender) {
    if (!MapProject) return;
    const uint16_t before = MapProject->Provinces.GetCount();
    MapProject->DeleteSelectedProvinces();
    if (MapProject->Provinces.GetCount() != before) MapProject->MarkModified();
    RefreshMissionConditions(*this);
}

void TMainForm::ActRecalcIconPlacesExecute(TObject* sender) {
    if (!MapProject) return;
    CMapProject& project = *MapProject;
    const ProgressScope progress(project);
    project.CalcCastlePlaces();
    for (CProvince* province : SelectedProvinces()) {
        if (province->MapPieceIndex == -1) continue;
        const CProvinceMap* piece = project.MapPieces.GetAt(static_cast<uint16_t>(province->MapPieceIndex));
        if (!piece) continue;
        // The places are the piece's, not an edit of the designer's.
        province->CastleX = piece->CastleX;
        province->CastleY = piece->CastleY;
        province->ArmyX = piece->ArmyX;
        province->ArmyY = piece->ArmyY;
    }
    project.UpdateArmyIcons();
    project.UpdateCastleIcons();
    project.HideProgress();
    project.DrawNeighbourLinks();
}

void TMainForm::ActGenerateIncomeExecute(TObject* sender) {
    if (!MapProject) return;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    uint16_t (*const draws[])() = {DrawIncome0, DrawIncome1, DrawIncome2};
    for (CProvince* province : SelectedProvinces()) {
        // A catalogue of fewer resources has fewer incomes to change: a
        // resource the province does not have could never differ.
        const int count = std::min(3, province->Resources.GetCount());
        for (int n = 0; n < count; ++n) province->SetResource(static_cast<uint8_t>(n), NewValue(province->Resources[n], draws[n]));
    }
    ShowSelectedProvinces();
}

void TMainForm::ActRenProvExecute(TObject* sender) {
    if (!MapProject) return;
    CStringTable* table = MapProject->Tables.GetAt(MapProject->CurrentStringTable);
    if (!table) return;
    if (NameTables.NameKeys.empty()) {
        Error(kNoSampleNames);
        return;
    }
    const auto taken = [table](const std::string& name) { return table->FindProvinceName(name) != 0xFF; };
    for (CProvince* province : SelectedProvinces()) {
        const std::optional<std::string> name = NameTables.GenerateUnusedName(taken);
        if (!name) {
            // Few sample names give few names: the rest keep theirs.
            Error("No new name could be found for \"" + table->GetProvinceName(province) +
                  "\": the sample names give no name that no province bears yet.");
            break;
        }
        if (table->SetProvinceName(province, *name)) ShowProvinceName(*this, province, *name);
    }
    ShowSelectedProvinces();
}
