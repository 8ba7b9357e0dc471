// The inspector library's controls in the table of controls freed inside
// their own events.

#include "FreedInEvent.h"
#include "inspector/ProvinceGrid.h"
#include "inspector/Rmbtnedit.h"
#include "inspector/Rmcheckbox.h"
#include "inspector/Rmcombobox.h"
#include "gui/RowView.h"
#include "inspector/Rminspector.h"
#include "inspector/Rminspectoritems.h"
#include "inspector/Rmspeedbtns.h"
#include "inspector/Rmspin.h"
#include "inspector/Rmtreenonview.h"
#include "platform/ClassRegistry.h"

namespace thorn::test {

namespace {

// The grid of the province page (rows listed at ProvinceGridFixture), with a
// long-text row at the end.
TrmInspector* MakeGrid(FreeKit& k) {
    auto* grid = static_cast<TrmInspector*>(Placed<TrmInspector>(10, 10, 260, 230)(k));
    grid->SetSplitPos(110);
    ProvinceGridFixture::Fill(*grid);
    TrmCustomInspectorItem* notes = grid->AddItem(nullptr, FindClass("TrmComplexInspectorItem"));
    notes->SetName("Notes");
    notes->GetNode()->SetText("Notes");
    // The first row is selected, its editor open.
    grid->SetItemIndex(0);
    return grid;
}

// The middle of a row's value cell, and its right end (where an editor's
// buttons are).
int MiddleOf(TrmInspector& grid, int row) {
    return (row - grid.GetVScrollPos()) * grid.RowHeight() + grid.RowHeight() / 2;
}
TPoint ValueOf(TrmInspector& grid, int row) { return {grid.GetSplitPos() + 40, MiddleOf(grid, row)}; }
TPoint ButtonOf(TrmInspector& grid, int row, int dy = 0) { return {grid.GetClientWidth() - 5, MiddleOf(grid, row) + dy}; }

// The user goes to a row with the keys (the grid scrolls it into sight).
void GoTo(FreeKit& k, TrmInspector& grid, int row) {
    k.Focus(grid);
    while (grid.GetItemIndex() < row) k.Key(VK_DOWN);
}

constexpr int kGold = 3;
constexpr int kOwner = 1;
constexpr int kActive = 12;
constexpr int kNotes = 13;

// The box of a check box.
TPoint BoxOf(TrmCustomCheckBox& c) {
    const TRect box = c.CBXRect();
    return {(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
}

}  // namespace

std::vector<ControlRow> InspectorRows() {
    using G = TrmInspector;
    const auto assignOther = [](FreeKit& k, TrmTreeNonView& t) {
        auto* other = thorn::Make<TrmTreeNonView>(k.Form());
        other->AddPathNode(nullptr, "Trees/Oak");
        t.GetItems().Assign(other->GetItems());
    };
    const auto removeChosen = [](FreeKit&, G& g) { g.RemoveNode(g.GetCurrentInspectorItem()->GetNode()); };
    return {
        {"TrmInspector",
         [](FreeKit& k) -> TComponent* { return MakeGrid(k); },
         {
             On<G>("OnItemIndexChanging", &G::OnItemIndexChanging,
                   [](FreeKit& k, G& g) { k.Click(g, ValueOf(g, 4)); }),
             On<G>("OnItemIndexChanged", &G::OnItemIndexChanged, [](FreeKit& k, G& g) { k.Click(g, ValueOf(g, 4)); }),
             On<G>("OnItemIndexChanged on Down", &G::OnItemIndexChanged,
                   [](FreeKit& k, G& g) {
                       k.Focus(g);
                       k.Key(VK_DOWN);
                   }),
             On<G>("OnItemIndexChanged on Down in an editor", &G::OnItemIndexChanged,
                   [](FreeKit& k, G& g) {
                       k.Focus(*g.GetEditor());
                       k.Key(VK_DOWN);
                   }),
             On<G>("OnEditorCreated", &G::OnEditorCreated, [](FreeKit& k, G& g) { k.Click(g, ValueOf(g, 4)); }),
             On<G>("OnItemKeyDown", &G::OnItemKeyDown,
                   [](FreeKit& k, G& g) {
                       k.Click(g, ValueOf(g, 0));
                       k.Key('A');
                   }),
             On<G>("OnItemChange on typing", &G::OnItemChange,
                   [](FreeKit& k, G& g) {
                       k.Click(g, ValueOf(g, 0));
                       k.Type("a");
                   }),
             On<G>("OnItemChange on the spin edit's up button", &G::OnItemChange,
                   [](FreeKit& k, G& g) {
                       k.Click(g, ValueOf(g, kGold));
                       k.Click(g, ButtonOf(g, kGold, -3));
                   }),
             On<G>("OnItemChange on the spin edit's down button held", &G::OnItemChange,
                   [](FreeKit& k, G& g) {
                       k.Click(g, ValueOf(g, kGold));
                       const TPoint down = ButtonOf(g, kGold, 3);
                       k.Press(g, down);
                       k.Host().Advance(600);
                   }),
             On<G>("OnItemChange on a combo pick", &G::OnItemChange,
                   [](FreeKit& k, G& g) {
                       k.Click(g, ValueOf(g, kOwner));
                       auto& combo = dynamic_cast<TrmInspectorBtnCombo&>(*g.GetEditor());
                       k.Click(combo, {10, 5});
                       thorn::RowView& rows = *combo.GetListView();
                       const TRect blue = rows.RowRect(2);
                       k.Click(rows, {blue.Left + 5, (blue.Top + blue.Bottom) / 2});
                   }),
             On<G>("OnItemChange on a check box", &G::OnItemChange,
                   [](FreeKit& k, G& g) {
                       GoTo(k, g, kActive);
                       k.Click(g, {g.GetSplitPos() + 8, MiddleOf(g, kActive)});
                   }),
             On<G>("OnComplexEdit", &G::OnComplexEdit,
                   [](FreeKit& k, G& g) {
                       GoTo(k, g, kNotes);
                       k.Click(g, ButtonOf(g, kNotes));
                   }),
             On<G>("OnScroll", &G::OnScroll, [](FreeKit& k, G& g) { k.Wheel(g, ValueOf(g, 2), -120); }),
             // The program takes away the chosen row, or chooses another.
             On<G>("OnItemIndexChanging on RemoveNode of the chosen row", &G::OnItemIndexChanging, removeChosen),
             On<G>("OnItemIndexChanged on RemoveNode of the chosen row", &G::OnItemIndexChanged, removeChosen),
             On<G>("OnItemIndexChanged on RemoveItem of the chosen row", &G::OnItemIndexChanged,
                   [](FreeKit&, G& g) { g.RemoveItem("ProvName"); }),
             OnChangeAfter<G>("OnItemIndexChanged on ClearNode of the chosen row's group", &G::OnItemIndexChanged,
                              [](FreeKit&, G& g) { g.SetItemIndex(kGold); },
                              [](FreeKit&, G& g) { g.ClearNode("Resour"); }),
             On<G>("OnItemIndexChanged on ClearItems", &G::OnItemIndexChanged, [](FreeKit&, G& g) { g.ClearItems(); }),
             On<G>("OnItemIndexChanged on AssignItems", &G::OnItemIndexChanged,
                   [](FreeKit& k, G& g) {
                       auto* other = thorn::Make<G>(k.Form());
                       other->AddItem(nullptr, FindClass("TrmStringInspectorItem"));
                       g.AssignItems(other->GetItems());
                   }),
             On<G>("OnItemIndexChanged on SetCurrentNode", &G::OnItemIndexChanged,
                   [](FreeKit&, G& g) { g.SetCurrentNode(g.GetItemByName("Owner")->GetNode()); }),
             On<G>("OnItemIndexChanged on SetCurrentPath", &G::OnItemIndexChanged,
                   [](FreeKit&, G& g) { g.SetCurrentPath(g.GetItemByName("Res_0")->GetNode()->GetNodePath()); }),
         },
         {.spot = [](TControl& c) { return TPoint{30, static_cast<G&>(c).RowHeight() * 2 + 4}; }}},
        {"TrmSpinEdit",
         Placed<TrmSpinEdit>(10, 10, 130, 31),
         {
             On<TrmSpinEdit>("OnChange on Up", &TrmSpinEdit::OnChange,
                             [](FreeKit& k, TrmSpinEdit& c) { k.Focus(c, {VK_UP}); }),
             On<TrmSpinEdit>("OnChange on the up button", &TrmSpinEdit::OnChange,
                             [](FreeKit& k, TrmSpinEdit& c) { k.Click(c, UpHalf(c)); }),
             On<TrmSpinEdit>("OnChange on the down button", &TrmSpinEdit::OnChange,
                             [](FreeKit& k, TrmSpinEdit& c) { k.Click(c, DownHalf(c)); }),
             On<TrmSpinEdit>("OnChange on typing", &TrmSpinEdit::OnChange,
                             [](FreeKit& k, TrmSpinEdit& c) {
                                 k.Focus(c);
                                 k.Type("5");
                             }),
         }},
        {"TrmSpinButton",
         Placed<TrmSpinButton>(10, 10, 20, 30),
         {
             On<TrmSpinButton>("OnUpClick", &TrmSpinButton::OnUpClick,
                               [](FreeKit& k, TrmSpinButton& c) { k.Click(c, {10, 4}); }),
             On<TrmSpinButton>("OnDownClick", &TrmSpinButton::OnDownClick,
                               [](FreeKit& k, TrmSpinButton& c) { k.Click(c, {10, 25}); }),
             On<TrmSpinButton>("OnUpClick held", &TrmSpinButton::OnUpClick,
                               [](FreeKit& k, TrmSpinButton& c) {
                                   k.Press(c, {10, 4});
                                   k.Host().Advance(600);
                               }),
             On<TrmSpinButton>("OnDownClick on Down", &TrmSpinButton::OnDownClick,
                               [](FreeKit& k, TrmSpinButton& c) {
                                   c.SetTabStop(true);
                                   k.Focus(c);
                                   k.Key(VK_DOWN);
                               }),
         },
         // The halves cover it: the mouse finds them.
         {.keyboard = false, .without = {"OnMouseDown", "OnMouseUp", "OnClick", "OnDblClick", "OnMouseMove"}}},
        {"TrmSpeedButton",
         Placed<TrmSpeedButton>(10, 10, 60, 25),
         {On<TrmSpeedButton>("OnClick", &TrmSpeedButton::OnClick, [](FreeKit& k, TrmSpeedButton& c) { k.Click(c); })},
         {.keyboard = false}},
        {"TrmBtnEdit",
         [](FreeKit& k) -> TComponent* {
             auto* edit = static_cast<TrmBtnEdit*>(Placed<TrmBtnEdit>(10, 10, 150, 21)(k));
             edit->SetBtn2Visible(true);
             return edit;
         },
         {
             On<TrmBtnEdit>("OnBtn1Click", &TrmBtnEdit::OnBtn1Click,
                            [](FreeKit& k, TrmBtnEdit& c) { k.Click(*c.Btn1()); }),
             On<TrmBtnEdit>("OnBtn2Click", &TrmBtnEdit::OnBtn2Click,
                            [](FreeKit& k, TrmBtnEdit& c) { k.Click(*c.Btn2()); }),
             On<TrmBtnEdit>("OnChange", &TrmBtnEdit::OnChange,
                            [](FreeKit& k, TrmBtnEdit& c) {
                                k.Focus(c);
                                k.Type("a");
                            }),
         },
         {.spot = [](TControl&) { return TPoint{20, 10}; }}},
        {"TrmComboBox",
         [](FreeKit& k) -> TComponent* {
             auto* combo = static_cast<TrmComboBox*>(Placed<TrmComboBox>(10, 10, 150, 21)(k));
             for (const char* item : {"Alder", "Birch", "Cedar"}) combo->GetItems()->Add(item);
             return combo;
         },
         {
             On<TrmComboBox>("OnChange on typing", &TrmComboBox::OnChange,
                             [](FreeKit& k, TrmComboBox& c) {
                                 k.Focus(c);
                                 k.Type("b");
                             }),
             On<TrmComboBox>("OnDropDown", &TrmComboBox::OnDropDown,
                             [](FreeKit& k, TrmComboBox& c) { k.Focus(c, {VK_F4}); }),
             On<TrmComboBox>("OnCloseUp", &TrmComboBox::OnCloseUp,
                             [](FreeKit& k, TrmComboBox& c) { k.Focus(c, {VK_F4, VK_F4}); }),
             On<TrmComboBox>("OnSelect", &TrmComboBox::OnSelect,
                             [](FreeKit& k, TrmComboBox& c) { k.Focus(c, {VK_F4, VK_DOWN, VK_RETURN}); }),
         },
         {.spot = [](TControl& c) { return TPoint{c.GetWidth() - 8, 10}; }}},
        {"TrmTreeNonView",
         [](FreeKit& k) -> TComponent* {
             auto* tree = thorn::Make<TrmTreeNonView>(k.Form());
             tree->AddPathNode(nullptr, "Fruit/Apple");
             tree->AddPathNode(nullptr, "Nuts");
             return tree;
         },
         {On<TrmTreeNonView>("OnDeletion (by the program)", &TrmTreeNonView::OnDeletion,
                             [](FreeKit&, TrmTreeNonView& t) { t.GetItems().GetFirstNode()->Delete(); }),
          On<TrmTreeNonView>("OnDeletion on Clear (by the program)", &TrmTreeNonView::OnDeletion,
                             [](FreeKit&, TrmTreeNonView& t) { t.GetItems().Clear(); }),
          On<TrmTreeNonView>("OnDeletion on Assign (by the program)", &TrmTreeNonView::OnDeletion, assignOther),
          On<TrmTreeNonView>("OnNodeTextChanged on Assign (by the program)", &TrmTreeNonView::OnNodeTextChanged,
                             assignOther),
          On<TrmTreeNonView>("OnNodeTextChanged on AddPathNode (by the program)", &TrmTreeNonView::OnNodeTextChanged,
                             [](FreeKit&, TrmTreeNonView& t) { t.AddPathNode(nullptr, "Trees/Oak/Leaf"); }),
          On<TrmTreeNonView>("OnNodeTextChanged (by the program)", &TrmTreeNonView::OnNodeTextChanged,
                             [](FreeKit&, TrmTreeNonView& t) { t.GetItems().GetFirstNode()->SetText("Food"); })},
         {.keyboard = false, .mouse = false}},
        {"TrmCheckBox",
         Placed<TrmCheckBox>(10, 10, 120, 21),
         {
             On<TrmCheckBox>("OnChange", &TrmCheckBox::OnChange, [](FreeKit& k, TrmCheckBox& c) { k.Click(c, BoxOf(c)); }),
             On<TrmCheckBox>("OnChange on Space", &TrmCheckBox::OnChange,
                             [](FreeKit& k, TrmCheckBox& c) { k.Focus(c, {VK_SPACE}); }),
             On<TrmCheckBox>("OnClick", &TrmCheckBox::OnClick, [](FreeKit& k, TrmCheckBox& c) { k.Click(c, BoxOf(c)); }),
         }},
        {"TrmCheckBoxEx",
         Placed<TrmCheckBoxEx>(10, 10, 120, 21),
         {
             On<TrmCheckBoxEx>("OnChange", &TrmCheckBoxEx::OnChange,
                               [](FreeKit& k, TrmCheckBoxEx& c) { k.Click(c, BoxOf(c)); }),
             On<TrmCheckBoxEx>("OnClick", &TrmCheckBoxEx::OnClick,
                               [](FreeKit& k, TrmCheckBoxEx& c) { k.Click(c, BoxOf(c)); }),
         }},
    };
}

}  // namespace thorn::test
