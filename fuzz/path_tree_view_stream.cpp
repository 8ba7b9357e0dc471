// Reads arbitrary bytes as the node stream of a path tree view shown on a
// form. A stream must be read or refused with the layer's exception (leaving
// the tree empty). One that is read is laid out and painted expanded, and a
// copy by Assign writes the same bytes and finds a node of every path.
#include <cstdint>
#include <cstdlib>

#include "controls/Rmpathtreeview.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "platform/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static thorn::HeadlessApplication session;
    static TForm* form = [] {
        TForm* made = Application->CreateForm<TForm>();
        made->SetBounds(0, 0, 200, 160);
        made->Show();
        return made;
    }();
    struct Settle {
        ~Settle() { session.App().ProcessMessages(); }
    } settle;
    auto* tree = thorn::Make<TrmPathTreeView>(*form);
    auto* copy = thorn::Make<TrmPathTreeView>(*form);
    struct Free {
        TComponent* a;
        TComponent* b;
        ~Free() {
            thorn::Free(a);
            thorn::Free(b);
        }
    } free{tree, copy};
    tree->SetParent(form);
    tree->SetBounds(0, 0, 200, 160);
    TMemoryStream input(std::span<const uint8_t>(data, size));
    try {
        tree->GetItems()->ReadData(input);
    } catch (const Exception&) {
        if (tree->GetItems()->GetCount() != 0) std::abort();
        return 0;
    }
    tree->FullExpand();
    form->PaintPending();
    TMemoryStream first, second;
    tree->GetItems()->WriteData(first);
    copy->GetItems()->Assign(*tree->GetItems());
    copy->GetItems()->WriteData(second);
    if (first.Bytes().size() != second.Bytes().size() ||
        !std::equal(first.Bytes().begin(), first.Bytes().end(), second.Bytes().begin()))
        std::abort();
    for (TrmTreeNode* n = copy->GetItems()->GetFirstNode(); n; n = n->GetNext()) {
        TrmTreeNode* found = copy->FindPathNode(copy->NodePath(n));
        if (!found || copy->NodePath(found) != copy->NodePath(n)) std::abort();
    }
    return 0;
}
