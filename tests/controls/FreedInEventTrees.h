#pragma once

#include <vector>

#include "FreedInEvent.h"
#include "gui/TreeView.h"
#include "platform/Streams.h"

namespace thorn::test {

// The tree reads an outline of two roots, the first with a child.
inline void LoadOutline(TCustomTreeView& tree) {
    const std::string_view outline = "Oak\r\n\tAcorn\r\nAsh\r\n";
    TMemoryStream stream;
    stream.WriteBuffer(outline.data(), static_cast<int64_t>(outline.size()));
    stream.SetPosition(0);
    tree.LoadFromStream(stream);
}

// The tree takes the nodes of another tree of its kind: the outline's.
template <typename C>
void AssignOther(FreeKit& k, C& tree) {
    auto* other = thorn::Make<C>(k.Form());
    LoadOutline(*other);
    tree.GetItems()->Assign(*other->GetItems());
}

// The tree reads a node stream of the nodes it has.
template <typename C>
void ReadNodeStream(FreeKit&, C& tree) {
    TMemoryStream stream;
    tree.GetItems()->WriteData(stream);
    stream.SetPosition(0);
    tree.GetItems()->ReadData(stream);
}

// The events every tree view fires alike, for the kind C with its own event
// members: a click on a row, the keys that open and close a node and edit a
// label, a deletion, a sort and the custom drawing the program asks for.
// The tree holds a first root with two children and a second root.
template <typename C>
std::vector<EventCase> TreeEvents() {
    const auto onRow = [](int row) { return [row](FreeKit& k, C& c) { k.Click(c, RowOfTree(c, row)); }; };
    // The first root selected, then keys.
    const auto onFirst = [](std::initializer_list<TKey> keys, bool expanded) {
        return [keys = std::vector<TKey>(keys), expanded](FreeKit& k, C& c) {
            if (expanded) c.GetItems()->GetFirstNode()->Expand(false);
            k.Click(c, RowOfTree(c, 0));
            for (TKey key : keys) k.Key(key);
        };
    };
    const auto paint = [](FreeKit& k, C&) { k.Paint(); };
    // Sorted by the texts (OnCompare, when set, orders them).
    const auto sorted = [](FreeKit&, C& c) { c.SetSortType(stText); };
    const auto load = [](FreeKit&, C& c) { LoadOutline(c); };
    const auto clear = [](FreeKit&, C& c) { c.GetItems()->Clear(); };
    return {
        On<C>("OnChanging", &C::OnChanging, onRow(1)),
        On<C>("OnChange", &C::OnChange, onRow(1)),
        On<C>("OnChange after its delay", &C::OnChange,
              [](FreeKit& k, C& c) {
                  c.SetChangeDelay(100);
                  k.Click(c, RowOfTree(c, 1));
                  k.Host().Advance(200);
              }),
        On<C>("OnExpanding", &C::OnExpanding, onFirst({VK_RIGHT}, false)),
        On<C>("OnExpanded", &C::OnExpanded, onFirst({VK_RIGHT}, false)),
        On<C>("OnCollapsing", &C::OnCollapsing, onFirst({VK_LEFT}, true)),
        On<C>("OnCollapsed", &C::OnCollapsed, onFirst({VK_LEFT}, true)),
        On<C>("OnEditing", &C::OnEditing, onFirst({VK_F2}, false)),
        On<C>("OnEdited", &C::OnEdited, onFirst({VK_F2, 'X', VK_RETURN}, false)),
        On<C>("OnDeletion (by the program)", &C::OnDeletion,
              [](FreeKit&, C& c) { c.GetItems()->GetFirstNode()->Delete(); }),
        On<C>("OnDeletion of the selected node", &C::OnDeletion,
              [](FreeKit& k, C& c) {
                  k.Click(c, RowOfTree(c, 0));
                  c.GetItems()->GetFirstNode()->Delete();
              }),
        On<C>("OnCompare (sorting)", &C::OnCompare, [](FreeKit&, C& c) { c.SetSortType(stData); }),
        // The program replaces or empties the nodes: each node deleted and
        // added is told, a sorted tree compares, the chosen node goes.
        On<C>("OnDeletion on LoadFromStream", &C::OnDeletion, load),
        On<C>("OnAddition on LoadFromStream", &C::OnAddition, load),
        OnChangeAfter<C>("OnChange on LoadFromStream", &C::OnChange, onRow(1), load),
        OnChangeAfter<C>("OnCompare on LoadFromStream", &C::OnCompare, sorted, load),
        On<C>("OnDeletion on Items.Assign", &C::OnDeletion, AssignOther<C>),
        On<C>("OnAddition on Items.Assign", &C::OnAddition, AssignOther<C>),
        OnChangeAfter<C>("OnChange on Items.Assign", &C::OnChange, onRow(1), AssignOther<C>),
        OnChangeAfter<C>("OnCompare on Items.Assign", &C::OnCompare, sorted, AssignOther<C>),
        On<C>("OnAddition on Items.ReadData", &C::OnAddition, ReadNodeStream<C>),
        OnChangeAfter<C>("OnCompare on Items.ReadData", &C::OnCompare, sorted, ReadNodeStream<C>),
        On<C>("OnDeletion on Items.Clear", &C::OnDeletion, clear),
        OnChangeAfter<C>("OnChange on Items.Clear", &C::OnChange, onRow(1), clear),
        On<C>("OnExpanding on ReadExpandedState", &C::OnExpanding,
              [](FreeKit&, C& c) {
                  // Four nodes, the first expanded.
                  const uint8_t state[] = {4, 0, 0, 0, 1, 0, 0, 0};
                  TMemoryStream stream;
                  stream.WriteBuffer(state, sizeof state);
                  stream.SetPosition(0);
                  c.GetItems()->ReadExpandedState(stream);
              }),
        On<C>("OnCustomDraw", &C::OnCustomDraw, paint),
        On<C>("OnCustomDrawItem", &C::OnCustomDrawItem, paint),
        On<C>("OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw, paint),
        On<C>("OnAdvancedCustomDrawItem", &C::OnAdvancedCustomDrawItem, paint),
    };
}

}  // namespace thorn::test
