#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "SdlSession.h"
#include "XScreen.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/ListBox.h"
#include "gui/ListView.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "gui/Menus.h"
#include "gui/sdl/SdlHost.h"
#include "support/Pixels.h"

// Runs under Xvfb: menus on real pop-up windows, driven by real pointer
// events of the X server. Each test leaves a screenshot (BMP) in the
// working folder.
namespace {

using thorn::test::Shown;

class SdlPopup : public thorn::test::SdlSession {
protected:
    // Waits until the screen shows colour at (x, y).
    bool ShowsAt(int x, int y, TColor32 colour) {
        TBitmap32 shot;
        return RunUntil([&] {
            screen.Grab(shot);
            return shot.GetPixel(x, y) == colour;
        });
    }
    thorn::test::XScreen screen;
};

TEST_F(SdlPopup, AMenuDropsDownFromTheBarAndAClickChoosesAnItem) {
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Thornvale II Map Editor");
    form->SetBounds(40, 40, 320, 200);
    TMainMenu* menu = thorn::Make<TMainMenu>(*form);
    std::vector<std::string> ran;
    auto add = [&](TMenuItem* parent, const char* caption, TShortCut shortCut = scNone) {
        TMenuItem* item = thorn::Make<TMenuItem>(*form);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->OnClick = [&ran, caption](TObject*) { ran.push_back(caption); };
        parent->Add(item);
        return item;
    };
    TMenuItem* file = add(menu->GetItems(), "&File");
    add(file, "&New project", ShortCut('N', {ssCtrl}));
    add(file, "&Open project...", ShortCut('O', {ssCtrl}));
    add(file, "-");
    TMenuItem* recent = add(file, "&Recent");
    add(recent, "mission1.pw");
    add(file, "E&xit");
    add(menu->GetItems(), "&View");
    form->SetMenu(menu);
    form->Show();
    ASSERT_TRUE(ShowsAt(45, 40 + 19 + 5, Shown(clBtnFace)));

    thorn::MenuBar* bar = form->GetMenuBar();
    TRect title = bar->TitleRect(0);
    screen.Click(40 + title.Left + 8, 40 + 6);
    thorn::MenuWindow* dropDown = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (dropDown = bar->GetDropDown()) && dropDown->IsPopupOpen(); }));
    EXPECT_EQ(dropDown->GetLeft(), 40 + title.Left);
    EXPECT_EQ(dropDown->GetTop(), 40 + title.Bottom);
    // The window is on the screen where the layer put it, above the form.
    TRect row = dropDown->RowRect(3);  // "Recent"
    int rowX = dropDown->GetLeft() + row.Left + 30, rowY = dropDown->GetTop() + (row.Top + row.Bottom) / 2;
    screen.MoveTo(rowX, rowY);
    ASSERT_TRUE(ShowsAt(dropDown->GetLeft() + row.Left + 2, rowY, Shown(clHighlight)));
    ASSERT_TRUE(RunUntil([&] { return dropDown->GetSubMenu() && dropDown->GetSubMenu()->IsPopupOpen(); }));
    thorn::MenuWindow* sub = dropDown->GetSubMenu();
    ASSERT_TRUE(ShowsAt(sub->GetLeft() + 1, sub->GetTop() + 1, Shown(clBtnHighlight)));  // its raised edge
    screen.Save("sdl_menu_open.bmp");
    EXPECT_TRUE(form->GetActive());

    TRect item = dropDown->RowRect(1);  // "Open project..."
    screen.Click(dropDown->GetLeft() + item.Left + 30, dropDown->GetTop() + (item.Top + item.Bottom) / 2);
    ASSERT_TRUE(RunUntil([&] { return !ran.empty(); }));
    EXPECT_EQ(ran, (std::vector<std::string>{"&Open project..."}));
    EXPECT_FALSE(dropDown->IsPopupOpen());
    EXPECT_FALSE(sub->IsPopupOpen());

    // A press on the form outside the menu closes it without reaching the form.
    screen.Click(40 + title.Left + 8, 40 + 6);
    ASSERT_TRUE(RunUntil([&] { return dropDown->IsPopupOpen(); }));
    screen.Click(40 + 200, 40 + 150);
    EXPECT_TRUE(RunUntil([&] { return !dropDown->IsPopupOpen(); }));
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(SdlPopup, AComboBoxDropsItsListBelowItselfAndAClickPicks) {
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Events List");
    form->SetBounds(40, 40, 360, 240);
    TComboBox* combo = thorn::Make<TComboBox>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 160, 0);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"Custom", "Treasury Resources Decrease", "Army Decrease", "Province Revolt"})
        combo->GetItems()->Add(item);
    combo->SetItemIndex(0);
    TListView* view = thorn::Make<TListView>(*form);
    view->SetParent(form);
    view->SetBounds(10, 110, 340, 120);
    view->SetCheckboxes(true);
    view->SetRowSelect(true);
    for (auto [caption, width] : {std::pair{"Turn", 40}, std::pair{"Event Titles", 200}}) {
        TListColumn* column = view->GetColumns()->Add();
        column->SetCaption(caption);
        column->SetWidth(width);
    }
    for (int i = 0; i < 3; ++i) {
        TListItem* item = view->GetItems()->Add();
        item->SetCaption(std::to_string(5 * i + 1));
        item->GetSubItems()->Add("Event " + std::to_string(i + 1));
        item->SetChecked(i != 1);
    }
    view->GetItems()->GetItem(1)->SetSelected(true);
    form->Show();
    ASSERT_TRUE(ShowsAt(40 + 5, 40 + 5, Shown(clBtnFace)));

    // A real press on the combo box's button.
    screen.Click(40 + 10 + 160 - 8, 40 + 10 + 10);
    TPopupWindow* list = combo->GetListWindow();
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown(); }));
    EXPECT_EQ(list->GetLeft(), 40 + 10);
    EXPECT_EQ(list->GetTop(), 40 + 10 + combo->GetHeight());
    TRect row = combo->GetListView()->RowRect(2);
    int rowY = list->GetTop() + 1 + (row.Top + row.Bottom) / 2;
    screen.MoveTo(list->GetLeft() + 40, rowY);
    ASSERT_TRUE(ShowsAt(list->GetLeft() + 3, rowY, Shown(clHighlight)));
    screen.Save("sdl_combo_open.bmp");
    screen.Click(list->GetLeft() + 40, rowY);
    ASSERT_TRUE(RunUntil([&] { return !combo->GetDroppedDown(); }));
    EXPECT_EQ(combo->GetText(), "Army Decrease");
}

TEST_F(SdlPopup, ChoicesStayOnTheirItemsWhenTheProgramMovesThem) {
    ASSERT_TRUE(screen.Ok());
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Resources");
    form->SetBounds(40, 40, 360, 240);
    TListBox* box = thorn::Make<TListBox>(*form);
    box->SetParent(form);
    box->SetBounds(190, 10, 150, 100);
    box->GetItems()->SetCommaText("Wood,Gold,Stone,Iron");
    TComboBox* combo = thorn::Make<TComboBox>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 160, 0);
    for (const char* item : {"Gold", "Wood", "Stone", "Iron"}) combo->GetItems()->Add(item);
    form->Show();
    ASSERT_TRUE(ShowsAt(40 + 5, 40 + 5, Shown(clBtnFace)));

    // Wood chosen with a real click, then the list sorted under it.
    auto boxRowY = [&](int row) {
        TRect r = box->ItemRect(row);
        return 40 + 10 + 2 + (r.Top + r.Bottom) / 2;
    };
    screen.Click(40 + 190 + 40, boxRowY(0));
    ASSERT_TRUE(RunUntil([&] { return box->GetItemIndex() == 0; }));
    box->SetSorted(true);
    EXPECT_EQ(box->GetItemIndex(), 3);
    EXPECT_TRUE(ShowsAt(40 + 190 + 140, boxRowY(3), Shown(clHighlight)));

    // The pointer highlights Wood in the dropped list; an item put in before
    // it moves the highlight along.
    screen.Click(40 + 10 + 160 - 8, 40 + 10 + 10);
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown(); }));
    TPopupWindow* list = combo->GetListWindow();
    auto comboRowY = [&](int row) {
        TRect r = combo->GetListView()->RowRect(row);
        return list->GetTop() + 1 + (r.Top + r.Bottom) / 2;
    };
    screen.MoveTo(list->GetLeft() + 40, comboRowY(1));
    ASSERT_TRUE(ShowsAt(list->GetLeft() + 100, comboRowY(1), Shown(clHighlight)));
    combo->GetItems()->Insert(0, "Copper");
    EXPECT_TRUE(ShowsAt(list->GetLeft() + 100, comboRowY(2), Shown(clHighlight)));
    screen.Save("sdl_choices_follow_items.bmp");
    EXPECT_EQ(combo->GetItems()->Get(2), "Wood");
}

// A window manager that lets the keys follow the pointer (twm) hands them
// to no window as the pointer crosses from one window to another: they
// then reach the window the pointer is in. A list dropped down stays open
// while they do, the pointer over its combo box's window or over the list
// itself, and a click picks from it. The test plays the manager's part on
// the bare server.
TEST_F(SdlPopup, ADroppedListStaysOpenWhileTheKeysFollowThePointer) {
    ASSERT_TRUE(screen.Ok());
    if (screen.Managed()) GTEST_SKIP() << "the window manager gives the keys";
    TForm* form = Application->CreateForm<TForm>();
    form->SetCaption("Following");
    form->SetBounds(40, 40, 360, 240);
    TComboBox* combo = thorn::Make<TComboBox>(*form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 160, 0);
    combo->SetStyle(csDropDownList);
    for (const char* item : {"Gold", "Wood", "Stone", "Iron"}) combo->GetItems()->Add(item);
    combo->SetItemIndex(0);
    form->Show();
    ASSERT_TRUE(ShowsAt(40 + 5, 40 + 5, Shown(clBtnFace)));
    const unsigned long formWindow = screen.WindowTitled("Following");
    screen.Click(40 + 10 + 160 - 8, 40 + 10 + 10);
    ASSERT_TRUE(RunUntil([&] { return combo->GetDroppedDown(); }));
    TPopupWindow* list = combo->GetListWindow();
    const TRect row = combo->GetListView()->RowRect(2);
    const TPoint onRow{list->GetLeft() + 40, list->GetTop() + 1 + (row.Top + row.Bottom) / 2};
    struct Case {
        const char* name;
        TPoint pointer;
    };
    const Case cases[] = {
        {"the pointer over the combo box's window", {40 + 10 + 40, 40 + 10 + 10}},
        {"the pointer over the list", onRow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The window under the pointer was given the keys, as the manager
        // does as the pointer enters it; then the pointer crosses.
        screen.Focus(formWindow);
        ASSERT_TRUE(RunUntil([] { return SDL_GetKeyboardFocus() != nullptr; }));
        screen.MoveTo(c.pointer.X, c.pointer.Y);
        screen.FocusFollowsPointer();
        ASSERT_TRUE(RunUntil([] { return SDL_GetKeyboardFocus() == nullptr; }));
        EXPECT_TRUE(combo->GetDroppedDown());
    }
    screen.Click(onRow.X, onRow.Y);
    ASSERT_TRUE(RunUntil([&] { return !combo->GetDroppedDown(); }));
    EXPECT_EQ(combo->GetText(), "Stone");
}

}  // namespace
