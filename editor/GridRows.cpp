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

std::optional<int64_t> TypedNumber(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    constexpr int64_t kLimit = INT64_MAX / 10 - 9;
    int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (number < kLimit) number = number * 10 + (c - '0');
    }
    return negative ? -number : number;
}

CStringTable* StringTableInUse() {
    return MapProject ? MapProject->Tables.GetAt(MapProject->CurrentStringTable) : nullptr;
}

}  // namespace thorn
