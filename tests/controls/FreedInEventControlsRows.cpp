// The controls library's controls in the table of controls freed inside
// their own events.

#include "FreedInEvent.h"
#include "FreedInEventTrees.h"
#include "controls/Rmbtncombo.h"
#include "controls/Rmcalendar.h"
#include "controls/Rmcombobox.h"
#include "controls/Rmlistcontrol.h"
#include "controls/Rmpathtreeview.h"
#include "controls/Rmscrnctrls.h"
#include "controls/Rmspin.h"
#include "gui/PopupWindow.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/StringList.h"

namespace thorn::test {

namespace {

TStringList Words(int count) {
    TStringList items;
    for (int i = 0; i < count; ++i) items.Add("Item " + std::to_string(i));
    return items;
}

TrmPathTreeView* MakePathTree(FreeKit& k) {
    auto* tree = static_cast<TrmPathTreeView*>(Placed<TrmPathTreeView>(10, 10, 200, 150)(k));
    tree->AddPathNode(nullptr, "Fruit/Apple");
    tree->AddPathNode(nullptr, "Fruit/Pear");
    tree->AddPathNode(nullptr, "Nuts");
    return tree;
}

// A screen control dropped below the bystander, its owner control.
template <typename C>
std::function<TComponent*(FreeKit&)> Dropped(std::function<void(C&)> fill) {
    return [fill](FreeKit& k) -> TComponent* {
        auto* c = thorn::Make<C>(k.Form());
        c->SetParent(&k.Bystander());
        fill(*c);
        return c;
    };
}

template <typename C>
void Show(FreeKit& k, C& c) {
    const TPoint at = k.Form().ClientToScreen({k.Bystander().GetLeft(), k.Bystander().GetTop()});
    c.ShowAt(thorn::DropDownRect(at, k.Bystander().GetHeight(), 150, 120));
    Application->ProcessMessages();
}

// The screen control dropped, then keys pressed, or a press outside it.
template <typename C>
std::function<void(FreeKit&, C&)> ShownThen(std::vector<TKey> keys) {
    return [keys](FreeKit& k, C& c) {
        Show(k, c);
        for (TKey key : keys) k.Key(key);
    };
}
template <typename C>
void ShownThenPressOutside(FreeKit& k, C& c) {
    Show(k, c);
    k.Host().Click(k.Form(), 300, 20);
}

}  // namespace

std::vector<ControlRow> ControlsRows() {
    return {
        {"TrmFloatSpinEdit",
         Placed<TrmFloatSpinEdit>(10, 10, 130, 31),
         {
             On<TrmFloatSpinEdit>("OnChange on Up", &TrmFloatSpinEdit::OnChange, ([](FreeKit& k, TrmFloatSpinEdit& c) { k.Focus(c, {VK_UP}); })),
             On<TrmFloatSpinEdit>("OnChange on the up button", &TrmFloatSpinEdit::OnChange,
                                  ([](FreeKit& k, TrmFloatSpinEdit& c) { k.Click(c, UpHalf(c)); })),
         }},
        {"TrmTimeSpinEdit",
         Placed<TrmTimeSpinEdit>(10, 10, 130, 31),
         {
             On<TrmTimeSpinEdit>("OnChange on Down", &TrmTimeSpinEdit::OnChange, ([](FreeKit& k, TrmTimeSpinEdit& c) { k.Focus(c, {VK_HOME, VK_DOWN}); })),
         }},
        {"TrmNewComboBox",
         [](FreeKit& k) -> TComponent* {
             auto* c = Placed<TrmNewComboBox>(10, 10, 130, 21)(k);
             auto* combo = static_cast<TrmNewComboBox*>(c);
             TStringList items;
             for (const char* item : {"One", "Two", "Three"}) items.Add(item);
             combo->SetComboItems(items);
             return c;
         },
         {
             On<TrmNewComboBox>("OnCloseUp on Tab", &TrmNewComboBox::OnCloseUp, ([](FreeKit& k, TrmNewComboBox& c) { k.Focus(c, {VK_F4, VK_TAB}); })),
             On<TrmNewComboBox>("OnCloseUp on F4", &TrmNewComboBox::OnCloseUp, ([](FreeKit& k, TrmNewComboBox& c) { k.Focus(c, {VK_F4, VK_F4}); })),
         }},
        {"TrmBtnCombo",
         [](FreeKit& k) -> TComponent* {
             auto* combo = static_cast<TrmBtnCombo*>(Placed<TrmBtnCombo>(10, 10, 150, 21)(k));
             combo->SetComboItems(Words(5));
             combo->SetEllipsisBtnVisible(true);
             return combo;
         },
         {
             On<TrmBtnCombo>("OnDropDown", &TrmBtnCombo::OnDropDown,
                             [](FreeKit& k, TrmBtnCombo& c) { k.Focus(c, {VK_F4}); }),
             On<TrmBtnCombo>("OnCloseUp on Tab", &TrmBtnCombo::OnCloseUp,
                             [](FreeKit& k, TrmBtnCombo& c) { k.Focus(c, {VK_F4, VK_TAB}); }),
             On<TrmBtnCombo>("OnCloseUp on F4", &TrmBtnCombo::OnCloseUp,
                             [](FreeKit& k, TrmBtnCombo& c) { k.Focus(c, {VK_F4, VK_F4}); }),
             On<TrmBtnCombo>("OnBtnClick", &TrmBtnCombo::OnBtnClick,
                             [](FreeKit& k, TrmBtnCombo& c) { k.Click(*c.Btn2()); }),
             On<TrmBtnCombo>("OnChange on a click in the list", &TrmBtnCombo::OnChange,
                             [](FreeKit& k, TrmBtnCombo& c) {
                                 k.Focus(c);
                                 k.Key(VK_F4);
                                 k.Click(*c.GetListBox(), {10, c.GetListBox()->GetItemHeight() * 2 + 3});
                             }),
             On<TrmBtnCombo>("OnChange on a pick", &TrmBtnCombo::OnChange,
                             [](FreeKit& k, TrmBtnCombo& c) { k.Focus(c, {VK_F4, VK_DOWN, VK_RETURN}); }),
         },
         {.spot = [](TControl&) { return TPoint{20, 10}; }}},
        {"TrmCalendar",
         Placed<TrmCalendar>(10, 10, 205, 158),
         {
             On<TrmCalendar>("OnSelectedDateChange on Enter", &TrmCalendar::OnSelectedDateChange,
                             [](FreeKit& k, TrmCalendar& c) {
                                 k.Focus(*c.GetGrid());
                                 k.Key(VK_RIGHT);
                                 k.Key(VK_RETURN);
                             }),
             On<TrmCalendar>("OnSelectedDateChange on a double click", &TrmCalendar::OnSelectedDateChange,
                             [](FreeKit& k, TrmCalendar& c) {
                                 TDrawGrid& grid = *c.GetGrid();
                                 const TRect cell = grid.CellRect(3, 3);
                                 k.DoubleClick(grid, {cell.Left + 4, cell.Top + 4});
                             }),
             On<TrmCalendar>("OnWorkingDateChange", &TrmCalendar::OnWorkingDateChange,
                             [](FreeKit& k, TrmCalendar& c) {
                                 k.Focus(*c.GetGrid());
                                 k.Key(VK_RIGHT);
                             }),
             On<TrmCalendar>("OnWorkingDateChange on a month", &TrmCalendar::OnWorkingDateChange,
                             [](FreeKit& k, TrmCalendar& c) {
                                 k.Focus(*c.GetGrid());
                                 k.Key(VK_RIGHT, {ssCtrl});
                             }),
             On<TrmCalendar>("OnPaintCell", &TrmCalendar::OnPaintCell, [](FreeKit& k, TrmCalendar&) { k.Paint(); }),
         },
         // The day grid and the bar cover the panel: the mouse finds them.
         {.keyboard = false, .without = {"OnMouseDown", "OnMouseUp", "OnClick", "OnDblClick", "OnMouseMove"}}},
        {"TrmComboCalendar",
         Placed<TrmComboCalendar>(10, 10, 150, 21),
         {
             On<TrmComboCalendar>("OnChange on a pick", &TrmComboCalendar::OnChange,
                                  [](FreeKit& k, TrmComboCalendar& c) {
                                      k.Focus(c);
                                      k.Key(VK_DOWN, {ssAlt});
                                      k.Key(VK_RIGHT);
                                      k.Key(VK_RETURN);
                                  }),
         },
         {.spot = [](TControl&) { return TPoint{20, 10}; }}},
        {"TrmScreenCalendar",
         Dropped<TrmScreenCalendar>([](TrmScreenCalendar&) {}),
         {
             On<TrmScreenCalendar>("OnScreenClose on a click outside", &TrmScreenCalendar::OnScreenClose,
                                   ShownThenPressOutside<TrmScreenCalendar>),
             On<TrmScreenCalendar>("OnSelectedDateChange", &TrmScreenCalendar::OnSelectedDateChange,
                                   ShownThen<TrmScreenCalendar>({VK_RIGHT, VK_RETURN})),
         },
         {.keyboard = false, .mouse = false}},
        {"TrmCustomScreenListBox",
         Dropped<TrmCustomScreenListBox>([](TrmCustomScreenListBox& c) { c.SetItems(Words(5)); }),
         {
             On<TrmCustomScreenListBox>("OnScreenClose on Escape", &TrmCustomScreenListBox::OnScreenClose,
                                        ShownThen<TrmCustomScreenListBox>({VK_ESCAPE})),
             On<TrmCustomScreenListBox>("OnScreenClose on a click outside", &TrmCustomScreenListBox::OnScreenClose,
                                        ShownThenPressOutside<TrmCustomScreenListBox>),
             On<TrmCustomScreenListBox>("OnClick on Down", &TrmCustomScreenListBox::OnClick,
                                        ShownThen<TrmCustomScreenListBox>({VK_DOWN})),
             On<TrmCustomScreenListBox>("OnMouseDown on a row", &TrmCustomScreenListBox::OnMouseDown,
                                        [](FreeKit& k, TrmCustomScreenListBox& c) {
                                            Show(k, c);
                                            k.Click(c, {10, 5});
                                        }),
             On<TrmCustomScreenListBox>("OnKeyDown", &TrmCustomScreenListBox::OnKeyDown,
                                        ShownThen<TrmCustomScreenListBox>({VK_RETURN})),
         },
         {.keyboard = false, .mouse = false}},
        {"TrmCustomScreenPathTreeView",
         Dropped<TrmCustomScreenPathTreeView>([](TrmCustomScreenPathTreeView& c) {
             c.AddPathNode(nullptr, "Fruit/Apple");
             c.AddPathNode(nullptr, "Nuts");
         }),
         {
             On<TrmCustomScreenPathTreeView>("OnScreenClose on Escape", &TrmCustomScreenPathTreeView::OnScreenClose,
                                             ShownThen<TrmCustomScreenPathTreeView>({VK_ESCAPE})),
             On<TrmCustomScreenPathTreeView>("OnChange on Down", &TrmCustomScreenPathTreeView::OnChange,
                                             ShownThen<TrmCustomScreenPathTreeView>({VK_DOWN})),
             On<TrmCustomScreenPathTreeView>("OnExpanding", &TrmCustomScreenPathTreeView::OnExpanding,
                                             ShownThen<TrmCustomScreenPathTreeView>({VK_DOWN, VK_RIGHT})),
         },
         {.keyboard = false, .mouse = false}},
        {"TrmPathTreeView",
         [](FreeKit& k) -> TComponent* { return MakePathTree(k); },
         [] {
             using V = TrmPathTreeView;
             std::vector<EventCase> events = TreeEvents<V>();
             events.push_back(On<V>("OnChange waiting when a path is added", &V::OnChange, [](FreeKit& k, V& c) {
                 c.SetChangeDelay(100);
                 k.Click(c, RowOfTree(c, 1));
                 c.AddPathNode(nullptr, "Trees/Oak");
             }));
             events.push_back(On<V>("OnGetImageIndex (a path added)", &V::OnGetImageIndex,
                                    [](FreeKit&, V& c) { c.AddPathNode(nullptr, "Trees/Oak/Leaf"); }));
             return events;
         }(),
         {.spot = [](TControl& c) { return RowOfTree(static_cast<TCustomTreeView&>(c), 1); }}},
        {"TrmListControl",
         [](FreeKit& k) -> TComponent* {
             auto* list = static_cast<TrmListControl*>(Placed<TrmListControl>(10, 10, 150, 100)(k));
             list->SetItems(Words(50));
             return list;
         },
         {
             On<TrmListControl>("OnFormatDrawing", &TrmListControl::OnFormatDrawing,
                                [](FreeKit& k, TrmListControl&) { k.Paint(); }),
             On<TrmListControl>("OnScroll", &TrmListControl::OnScroll,
                                [](FreeKit& k, TrmListControl& c) { k.Focus(c, {VK_NEXT}); }),
             OnChangeAfter<TrmListControl>(
                 "OnScroll on SetItems (by the program)", &TrmListControl::OnScroll,
                 [](FreeKit& k, TrmListControl& c) { k.Focus(c, {VK_NEXT}); },
                 [](FreeKit&, TrmListControl& c) { c.SetItems(Words(60)); }),
             On<TrmListControl>("OnMouseWheelDown", &TrmListControl::OnMouseWheelDown,
                                [](FreeKit& k, TrmListControl& c) { k.Wheel(c, {20, 20}, -120); }),
             On<TrmListControl>("OnMouseWheelUp", &TrmListControl::OnMouseWheelUp,
                                [](FreeKit& k, TrmListControl& c) { k.Wheel(c, {20, 20}, 120); }),
         },
         {.spot = [](TControl&) { return TPoint{20, 20}; }}},
    };
}

}  // namespace thorn::test
