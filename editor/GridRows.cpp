#include "editor/GridRows.h"

#include "editor/Main.h"
#include "inspector/Rminspector.h"
#include "platform/ClassRegistry.h"

TrmCustomInspectorItem* GetOrAddInspectorItem(TrmInspector& grid, TrmTreeNonViewNode* parent,
                                              std::string_view className, std::string_view key) {
    if (TrmCustomInspectorItem* item = grid.GetItemByName(key)) return item;
    TrmCustomInspectorItem* item = grid.AddItem(parent, FindClass(className));
    item->SetName(std::string(key));
    return item;
}

namespace thorn {

namespace {
constexpr size_t kTypedTextLimit = 99;
}

std::string TypedText(const TWinControl& editor) { return editor.GetText().substr(0, kTypedTextLimit); }

CStringTable* StringTableInUse() {
    return MapProject ? MapProject->Tables.GetAt(MapProject->CurrentStringTable) : nullptr;
}

}  // namespace thorn
