// Writes the seed corpus of the grid's form-stream target: grids filled as
// the editor fills its grids, with items of every kind, streamed.
//   make_inspector_seeds <corpus folder>   (writes inspector_stream/)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"
#include "platform/Filer.h"

namespace {

TrmCustomInspectorItem* Add(TrmInspector& grid, TrmTreeNonViewNode* parent, const char* kind, const std::string& key,
                            const std::string& value) {
    TrmCustomInspectorItem* item = grid.AddItem(parent, FindClass(kind));
    item->SetName(key);
    item->GetNode()->SetText(key);
    if (!value.empty()) item->SetStringValue(value);
    return item;
}

void Save(TrmInspector& grid, const std::filesystem::path& file) {
    TMemoryStream stream;
    thorn::WriteComponent(stream, grid);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(stream.Bytes().data()), static_cast<std::streamsize>(stream.Bytes().size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_inspector_seeds <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / "inspector_stream";
    std::filesystem::create_directories(folder);
    thorn::HeadlessApplication session;

    TrmInspector empty;
    empty.SetName("Empty");
    Save(empty, folder / "empty");

    TrmInspector grid;
    grid.SetName("RMIProvince");
    grid.SetSplitPos(120);
    grid.SetItemIndex(2);
    Add(grid, nullptr, "TrmStringInspectorItem", "ProvName", "Stone Hill");
    auto* owner = static_cast<TrmComboInspectorItem*>(Add(grid, nullptr, "TrmComboInspectorItem", "Owner", ""));
    owner->GetItems().Add("none");
    owner->GetItems().Add("Red");
    owner->SetValue("Red");
    TrmTreeNonViewNode* resources = Add(grid, nullptr, "TrmNodeInspectorItem", "Resour", "")->GetNode();
    auto* gold = static_cast<TrmSafeIntegerInspectorItem*>(
        Add(grid, resources, "TrmSafeIntegerInspectorItem", "Res_0", "40"));
    gold->SetMaxValue(99999);
    Add(grid, resources, "TrmSafeIntegerInspectorItem", "Res_1", "");
    TrmTreeNonViewNode* castle = Add(grid, nullptr, "TrmCheckBoxExInspectorItem", "Castle", "True")->GetNode();
    Add(grid, castle, "TrmCheckBoxExInspectorItem", "CastMoat", "False");
    Add(grid, nullptr, "TrmCheckBoxInspectorItem", "Active", "True");
    Save(grid, folder / "province_rows");

    TrmInspector kinds;
    kinds.SetName("Kinds");
    Add(kinds, nullptr, "TrmComplexInspectorItem", "Notes", "A long text");
    Add(kinds, nullptr, "TrmComboInspectorItemEx", "Choice", "one");
    auto* number = static_cast<TrmIntegerInspectorItem*>(Add(kinds, nullptr, "TrmIntegerInspectorItem", "Count", ""));
    number->SetMaxValue(50);
    number->SetMinValue(-50);
    number->SetUseRange(true);
    number->SetValue(-7);
    Add(kinds, nullptr, "TrmDateInspectorItem", "When", "12/25/2023");
    Add(kinds, nullptr, "TrmBlankInspectorItem", "Unit_0", "Archers");
    Add(kinds, nullptr, "TrmStringInspectorItem", "Secret", "x")->SetHint("a hint");
    Save(kinds, folder / "every_kind");
    return 0;
}
