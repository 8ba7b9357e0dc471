#pragma once

#include <vector>

#include "FreedInEvent.h"
#include "gui/TreeView.h"

namespace thorn::test {

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
        On<C>("OnCustomDraw", &C::OnCustomDraw, paint),
        On<C>("OnCustomDrawItem", &C::OnCustomDrawItem, paint),
        On<C>("OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw, paint),
        On<C>("OnAdvancedCustomDrawItem", &C::OnAdvancedCustomDrawItem, paint),
    };
}

}  // namespace thorn::test
