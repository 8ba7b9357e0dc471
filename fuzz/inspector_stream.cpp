// Reads arbitrary bytes as a form stream holding a property grid, its rows
// carrying items of every kind. A stream must be read or refused with the
// layer's exception; a grid that is read must own every item of its rows,
// find each by its node, sum its groups, select every row, and write and
// read back to the same rows, each as editable as it was.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "inspector/Rminspectoritems.h"
#include "platform/Filer.h"

namespace {

std::vector<std::string> Rows(const TrmInspector& grid) {
    std::vector<std::string> rows;
    for (TrmTreeNonViewNode* node = grid.GetItems().GetFirstNode(); node; node = node->GetNext()) {
        auto* item = dynamic_cast<TrmCustomInspectorItem*>(node->GetData());
        rows.push_back(node->GetNodePath() + "|" +
                       (item ? item->GetName() + "=" + item->GetAsString() + (item->GetEditabled() ? "" : " fixed") : ""));
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Editors are controls: the grid opens them in an application.
    static thorn::HeadlessApplication session;
    struct Settle {
        ~Settle() { session.App().ProcessMessages(); }
    } settle;
    TMemoryStream input(std::span<const uint8_t>(data, size));
    std::unique_ptr<TComponent> read;
    try {
        read = thorn::ReadComponent(input);
    } catch (const Exception&) {
        return 0;
    }
    auto* grid = dynamic_cast<TrmInspector*>(read.get());
    if (!grid) return 0;
    for (TrmTreeNonViewNode* node = grid->GetItems().GetFirstNode(); node; node = node->GetNext()) {
        auto* item = dynamic_cast<TrmCustomInspectorItem*>(node->GetData());
        if (!item) continue;
        if (item->GetOwner() != grid || item->GetNode() != node || grid->GetNodeByItem(item) != node) std::abort();
        grid->UpdateText(node->GetParent());
    }
    // Every row selected in turn opens and closes its editor.
    for (int row = 0; row < grid->VisibleItemCount(); ++row) {
        if (!grid->GetVisibleItem(row)) std::abort();
        try {
            grid->SetItemIndex(row);
        } catch (const Exception&) {
            // a value its editor shows and the item refuses
        }
    }
    grid->SetItemIndex(-1);
    TMemoryStream written;
    thorn::WriteComponent(written, *grid);
    written.SetPosition(0);
    std::unique_ptr<TComponent> again = thorn::ReadComponent(written);
    auto* copy = dynamic_cast<TrmInspector*>(again.get());
    if (!copy || Rows(*copy) != Rows(*grid)) std::abort();
    return 0;
}
