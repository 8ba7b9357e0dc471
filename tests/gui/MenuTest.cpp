#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "TestControls.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/MenuBar.h"
#include "gui/MenuWindow.h"
#include "gui/Menus.h"
#include "gui/RowView.h"
#include "gui/ShortCuts.h"
#include "support/Pixels.h"

namespace {

using thorn::test::AddControl;
using thorn::test::MakeForm;
using thorn::test::Shown;
using thorn::test::Swatch;
using Log = std::vector<std::string>;

TEST(GuiShortCuts, TextsNameTheShiftKeysFirst) {
    struct Case {
        TKey key;
        TShiftState shift;
        const char* text;
    };
    const Case cases[] = {
        {'O', {ssCtrl}, "Ctrl+O"},
        {VK_F4, {}, "F4"},
        {'S', {ssCtrl, ssShift}, "Ctrl+Shift+S"},
        {'S', {ssCtrl, ssAlt}, "Ctrl+Alt+S"},
        {VK_DELETE, {}, "Del"},
        {VK_F12, {ssShift}, "Shift+F12"},
        {'7', {ssAlt}, "Alt+7"},
        {VK_RETURN, {ssCtrl}, "Ctrl+Enter"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TShortCut shortCut = ShortCut(c.key, c.shift);
        EXPECT_EQ(ShortCutToText(shortCut), c.text);
        EXPECT_EQ(TextToShortCut(c.text), shortCut);
        // Back to the key and the shift keys it is pressed with.
        TKey key = 0;
        TShiftState shift;
        ShortCutToKey(shortCut, key, shift);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(shift, c.shift);
    }
    EXPECT_EQ(TextToShortCut("shift+ctrl+s"), ShortCut('S', {ssCtrl, ssShift}));
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+X"), scNone);
}

// A window with the menus of a small editor: File (two commands with
// shortcuts, a sub-menu, Exit), View (a disabled command, a check item, two
// radio items) and Help; every chosen item writes its caption into the log.
class GuiMenu : public ::testing::Test {
protected:
    GuiMenu() {
        form = MakeForm(400, 300);
        menu = thorn::Make<TMainMenu>(*form);
        TMenuItem* file = Add(menu->GetItems(), "&File");
        Add(file, "&New project", ShortCut('N', {ssCtrl}));
        Add(file, "&Open project...", ShortCut('O', {ssCtrl}));
        Add(file, "-");
        TMenuItem* recent = Add(file, "&Recent");
        Add(recent, "&One");
        Add(recent, "&Two", ShortCut('T', {ssCtrl, ssShift}));
        Add(file, "-");
        Add(file, "E&xit");
        TMenuItem* view = Add(menu->GetItems(), "&View");
        Add(view, "Zoom &In", ShortCut(VK_ADD, {ssCtrl}))->SetEnabled(false);
        TMenuItem* names = Add(view, "Show &Names", ShortCut(VK_F8, {}));
        names->SetAutoCheck(true);
        for (const char* size : {"&Small", "&Large"}) {
            TMenuItem* item = Add(view, size);
            item->SetRadioItem(true);
            item->SetGroupIndex(1);
        }
        Add(menu->GetItems(), "&Help");
        Add(Item("Help"), "&About");
        field = AddControl<Swatch>(*form, "Field", {0, 0, 100, 40}, &log);
        field->SetAlign(alTop);
        field->SetColor(clRed);
        field->SetTabStop(true);
        form->SetMenu(menu);
        form->Show();
        Application->ProcessMessages();
        bar = form->GetMenuBar();
        log.clear();
    }

    TMenuItem* Add(TMenuItem* parent, const std::string& caption, TShortCut shortCut = scNone) {
        TMenuItem* item = thorn::Make<TMenuItem>(*form);
        item->SetCaption(caption);
        item->SetShortCut(shortCut);
        item->OnClick = [this](TObject* sender) {
            log.push_back("run " + StripHotkey(static_cast<TMenuItem*>(sender)->GetCaption()));
        };
        parent->Add(item);
        return item;
    }
    TMenuItem* Item(const char* path) {
        TMenuItem* item = menu->GetItems();
        std::string rest = path;
        for (size_t bar; (bar = rest.find('/')) != std::string::npos; rest = rest.substr(bar + 1))
            item = item->Find(rest.substr(0, bar));
        return item->Find(rest);
    }
    thorn::MenuWindow* Open() const {
        thorn::MenuWindow* w = bar->GetDropDown();
        return w && w->IsPopupOpen() ? w : nullptr;
    }
    // The topmost open menu window.
    thorn::MenuWindow* Top() const {
        auto open = thorn::OpenPopups();
        return open.empty() ? nullptr : dynamic_cast<thorn::MenuWindow*>(open.back());
    }
    std::string Selected(thorn::MenuWindow* w) const {
        TMenuItem* item = w ? w->RowItem(w->GetSelected()) : nullptr;
        return item ? StripHotkey(item->GetCaption()) : "";
    }
    int Row(thorn::MenuWindow* w, const char* caption) const {
        for (int i = 0; i < w->RowCount(); ++i)
            if (StripHotkey(w->RowItem(i)->GetCaption()) == caption) return i;
        return -1;
    }
    void ClickRow(thorn::MenuWindow* w, const char* caption) {
        TRect r = w->RowRect(Row(w, caption));
        host.Click(*w, r.Left + 10, (r.Top + r.Bottom) / 2);
    }
    void ClickTitle(int index) {
        TRect r = bar->TitleRect(index);
        host.Click(*form, r.Left + 5, r.Top + 5);
    }
    void Alt() { host.PressKey(VK_MENU, {ssAlt}); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    Log log;
    TForm* form = nullptr;
    TMainMenu* menu = nullptr;
    thorn::MenuBar* bar = nullptr;
    Swatch* field = nullptr;
};

TEST_F(GuiMenu, TheBarTakesTheTopOfTheWindowAndTheClientAreaLiesBelowIt) {
    int h = form->GetMenuBarHeight();
    EXPECT_EQ(h, 19);  // a line of the 8-point menu font and its margins
    EXPECT_EQ(form->GetClientRect(), (TRect{0, 0, 400, 300 - h}));
    EXPECT_EQ(form->ClientToScreen({0, 0}), (TPoint{100, 100 + h}));
    EXPECT_EQ(field->GetBoundsRect(), (TRect{0, 0, 400, 40}));
    EXPECT_EQ(host.PixelAt(*form, 390, 5), Shown(clMenu));
    EXPECT_EQ(host.PixelAt(*form, 390, h), Shown(clRed));
    EXPECT_EQ(form->ControlAtClientPos({10, h + 5}), field);
    EXPECT_EQ(form->ControlAtClientPos({390, 5}), form);
    ASSERT_EQ(bar->TitleCount(), 3);
    EXPECT_EQ(bar->TitleRect(0).Left, 0);
    EXPECT_EQ(bar->TitleRect(1).Left, bar->TitleRect(0).Right);
    // Hiding a title closes the gap; taking the menu away gives the room back.
    Item("View")->SetVisible(false);
    EXPECT_EQ(bar->TitleCount(), 2);
    EXPECT_EQ(StripHotkey(bar->Title(1)->GetCaption()), "Help");
    form->SetMenu(nullptr);
    EXPECT_EQ(form->GetClientRect(), (TRect{0, 0, 400, 300}));
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, 390, 5), Shown(clRed));
}

TEST_F(GuiMenu, APressOnATitleDropsItsMenuAndAClickOnAnItemRunsItAfterTheMenuCloses) {
    ClickTitle(0);
    thorn::MenuWindow* w = Open();
    ASSERT_NE(w, nullptr);
    TRect title = bar->TitleRect(0);
    EXPECT_EQ(w->GetLeft(), 100 + title.Left);
    EXPECT_EQ(w->GetTop(), 100 + title.Bottom);
    EXPECT_EQ(w->RowCount(), 6);
    EXPECT_TRUE(form->GetActive());
    Item("File/New project")->OnClick = [&](TObject*) {
        log.push_back(Open() ? "run while open" : "run after close");
    };
    ClickRow(w, "New project");
    EXPECT_EQ(log, (Log{"run after close"}));
    EXPECT_FALSE(bar->IsMenuMode());

    // A second press on the open title closes it; moving over another title
    // while one is down opens that one.
    ClickTitle(0);
    ClickTitle(0);
    EXPECT_EQ(Open(), nullptr);
    ClickTitle(0);
    host.MouseMove(*form, bar->TitleRect(1).Left + 3, 5);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Open()->GetParentItem(), Item("View"));
    // A press in the window below the menu closes it and goes no further.
    log.clear();
    host.Click(*form, 10, 30);
    EXPECT_EQ(Open(), nullptr);
    for (const std::string& entry : log) EXPECT_EQ(entry.find("down"), std::string::npos) << entry;
}

TEST_F(GuiMenu, PassingOverAnItemWithItemsOpensItsMenuBeside) {
    ClickTitle(0);
    thorn::MenuWindow* w = Open();
    TRect r = w->RowRect(Row(w, "Recent"));
    host.MouseMove(*w, r.Left + 10, r.Top + 3);
    thorn::MenuWindow* sub = w->GetSubMenu();
    ASSERT_TRUE(sub && sub->IsPopupOpen());
    EXPECT_EQ(sub->GetLeft(), w->GetLeft() + r.Right - 3);
    EXPECT_EQ(Selected(w), "Recent");
    ClickRow(sub, "Two");
    EXPECT_EQ(log, (Log{"run Two"}));
    EXPECT_TRUE(thorn::OpenPopups().empty());
}

TEST_F(GuiMenu, TheKeyboardReachesEveryItem) {
    struct Case {
        const char* what;
        std::function<void()> keys;
        Log ran;
        std::string open;      // caption of the parent of the topmost open menu
        std::string selected;  // its highlighted item
        int hot;               // the bar's highlighted title
    };
    auto press = [this](std::initializer_list<TKey> keys) {
        for (TKey k : keys) host.PressKey(k);
    };
    const Case cases[] = {
        {"Alt alone highlights the first title", [&] { Alt(); }, {}, "", "", 0},
        {"then Right the next", [&] { Alt(), press({VK_RIGHT}); }, {}, "", "", 1},
        {"Left goes round", [&] { Alt(), press({VK_LEFT}); }, {}, "", "", 2},
        {"Down drops it", [&] { Alt(), press({VK_RIGHT, VK_DOWN}); }, {}, "View", "Zoom In", 1},
        {"Escape leaves", [&] { Alt(), press({VK_ESCAPE}); }, {}, "", "", -1},
        {"Alt again leaves", [&] { Alt(), Alt(); }, {}, "", "", -1},
        {"F10 as Alt", [&] { press({VK_F10}); }, {}, "", "", 0},
        {"Alt with an accelerator drops that menu",
         [&] { host.PressKey('V', {ssAlt}); },
         {},
         "View",
         "Zoom In",
         1},
        {"Enter runs the highlighted item", [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_RETURN}); },
         {"run Open project..."}, "", "", -1},
        {"Up goes round to the last item", [&] { host.PressKey('F', {ssAlt}), press({VK_UP}); }, {}, "File", "Exit", 0},
        {"separators are passed over",
         [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_DOWN}); },
         {},
         "File",
         "Recent",
         0},
        {"Right opens a sub-menu",
         [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_DOWN, VK_RIGHT}); },
         {},
         "Recent",
         "One",
         0},
        {"and Enter runs its item",
         [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}); },
         {"run Two"},
         "",
         "",
         -1},
        {"Escape closes only the sub-menu",
         [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE}); },
         {},
         "File",
         "Recent",
         0},
        {"Left too", [&] { host.PressKey('F', {ssAlt}), press({VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT}); }, {}, "File",
         "Recent", 0},
        {"Right on a command opens the next menu",
         [&] { host.PressKey('F', {ssAlt}), press({VK_RIGHT}); },
         {},
         "View",
         "Zoom In",
         1},
        {"Escape on a menu goes back to its title", [&] { host.PressKey('F', {ssAlt}), press({VK_ESCAPE}); }, {}, "",
         "", 0},
        {"a letter runs the item it marks", [&] { host.PressKey('F', {ssAlt}), press({'X'}); }, {"run Exit"}, "", "",
         -1},
        {"a letter of a sub-menu opens it", [&] { host.PressKey('F', {ssAlt}), press({'R', 'O'}); }, {"run One"},
         "", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bar->Cancel();
        log.clear();
        c.keys();
        Log ran;
        for (const std::string& entry : log)
            if (entry.starts_with("run ")) ran.push_back(entry);
        EXPECT_EQ(ran, c.ran);
        thorn::MenuWindow* top = Top();
        EXPECT_EQ(top && top->GetParentItem() ? StripHotkey(top->GetParentItem()->GetCaption()) : "", c.open);
        EXPECT_EQ(Selected(top), c.selected);
        EXPECT_EQ(bar->GetHotIndex(), c.hot);
    }
}

TEST_F(GuiMenu, AltEntersMenuModeOnlyWhenReleasedAloneWhateverTookTheOtherInput) {
    // A combo box of drop-down list style, focused, with a context menu; a
    // check box that Alt+B checks.
    auto* combo = thorn::test::Place<TComboBox>(*form, {20, 60, 170, 0});
    combo->SetStyle(csDropDownList);
    for (const char* item : {"Gold", "Wood"}) combo->GetItems()->Add(item);
    combo->SetPopupMenu(thorn::Make<TPopupMenu>(*form));
    Add(combo->GetPopupMenu()->GetItems(), "&Copy");
    thorn::test::Place<TCheckBox>(*form, {20, 100, 120, 120})->SetCaption("&Bold");
    const auto altWith = [&](std::function<void()> chord) {
        return [&, chord] {
            host.KeyDown(VK_MENU, {ssAlt});
            chord();
            host.KeyUp(VK_MENU);
        };
    };
    const auto key = [&](TKey k) { return [&, k] { host.PressKey(k, {ssAlt}); }; };
    const auto clickList = [&] {
        const TRect r = combo->GetListView()->RowRect(1);
        host.Click(*combo->GetListWindow(), 1 + r.Left + 20, 1 + (r.Top + r.Bottom) / 2, mbLeft, {ssAlt});
    };
    struct Chord {
        const char* what;
        std::function<void()> withAlt;
        bool plain, dropped;  // done with the list closed, dropped
    };
    const Chord chords[] = {
        {"Alt+Down", key(VK_DOWN), true, true},
        {"Alt+Up", key(VK_UP), true, true},
        {"Alt+Left", key(VK_LEFT), true, true},
        {"Alt+Right", key(VK_RIGHT), true, true},
        {"Alt+Enter", key(VK_RETURN), true, true},
        {"Alt+B, the check box's", key('B'), true, true},
        {"a click on the window", [&] { host.Click(*form, 300, 250, mbLeft, {ssAlt}); }, true, true},
        {"a click on a row", clickList, false, true},
        {"a grab by another program", [&] { host.GrabKeyboardElsewhere(); }, true, false},
    };
    struct Case {
        std::string what;
        std::function<void()> keys;
        bool menuMode;  // after Alt's release
        Log ran;        // once Down and Enter follow
    };
    std::vector<Case> cases = {
        {"Alt alone", altWith([] {}), true, {"run New project"}},
        // The menu takes Alt's press to close.
        {"Alt alone in a context menu", [&] { host.PressKey(VK_APPS), altWith([] {})(); }, false, {}},
    };
    for (const Chord& c : chords) {
        if (c.plain) cases.push_back({c.what, altWith(c.withAlt), false, {}});
        if (c.dropped)
            cases.push_back({std::string(c.what) + ", the list dropped",
                             [&, keys = altWith(c.withAlt)] { host.PressKey(VK_F4), keys(); }, false, {}});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bar->Cancel();
        combo->SetFocus();
        log.clear();
        c.keys();
        EXPECT_EQ(bar->IsMenuMode(), c.menuMode);
        host.PressKey(VK_DOWN);
        host.PressKey(VK_RETURN);
        Log ran;
        std::copy_if(log.begin(), log.end(), std::back_inserter(ran), [](auto& e) { return e.starts_with("run "); });
        EXPECT_EQ(ran, c.ran);
        EXPECT_FALSE(bar->IsMenuMode());
        EXPECT_EQ(Top(), nullptr);
    }
}

TEST_F(GuiMenu, ADisabledItemShowsGreyAndNeverRuns) {
    ClickTitle(1);
    thorn::MenuWindow* w = Open();
    ASSERT_NE(w, nullptr);
    auto inkOf = [&](const char* caption) {
        // Caption pixels near black (the menu text), and near the grey of
        // the shadow a disabled caption is drawn in.
        TRect r = w->RowRect(Row(w, caption));
        int text = 0, grey = 0;
        auto near = [](TColor32 p, TColor32 c, int d) {
            for (int shift : {0, 8, 16})
                if (std::abs(int(p >> shift & 0xFF) - int(c >> shift & 0xFF)) > d) return false;
            return true;
        };
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left + 20; x < r.Left + 60; ++x) {
                TColor32 p = host.PixelAt(*w, x, y);
                text += near(p, Shown(clMenuText), 0x40);
                grey += near(p, Shown(clBtnShadow), 0x18);
            }
        return std::pair{text, grey};
    };
    auto [enabledText, enabledGrey] = inkOf("Show Names");
    auto [disabledText, disabledGrey] = inkOf("Zoom In");
    EXPECT_GT(enabledText, 20);
    EXPECT_EQ(disabledText, 0);
    EXPECT_GT(disabledGrey, enabledGrey);

    log.clear();
    ClickRow(w, "Zoom In");  // the click leaves the menu open...
    EXPECT_EQ(Open(), w);
    EXPECT_EQ(Selected(w), "Zoom In");  // ...with the item highlighted
    host.PressKey(VK_RETURN);
    bar->Cancel();
    host.PressKey(VK_ADD, {ssCtrl});  // its shortcut goes on to the focused control
    EXPECT_EQ(log, (Log{"Field keydown 107"}));
}

TEST_F(GuiMenu, CheckItemsFlipAndRadioItemsOfAGroupExcludeEachOther) {
    TMenuItem* small = Item("View/Small");
    TMenuItem* large = Item("View/Large");
    small->SetChecked(true);
    large->SetChecked(true);
    EXPECT_FALSE(small->GetChecked());
    // Ticked by the user, a radio item unticks the others of its group only.
    for (const char* caption : {"&Day", "&Night"}) {
        TMenuItem* item = Add(Item("View"), caption);
        item->SetRadioItem(true);
        item->SetGroupIndex(2);
    }
    TMenuItem* day = Item("View/Day");
    TMenuItem* night = Item("View/Night");
    struct Tick {
        const char* caption;
        std::vector<TMenuItem*> ticked;
    };
    const Tick ticks[] = {
        {"Small", {small}}, {"Day", {small, day}}, {"Large", {large, day}}, {"Night", {large, night}}};
    for (TMenuItem* item : {small, large, day, night}) item->SetAutoCheck(true);
    for (const Tick& t : ticks) {
        SCOPED_TRACE(t.caption);
        host.PressKey('V', {ssAlt});
        ASSERT_NE(Open(), nullptr);
        ClickRow(Open(), t.caption);
        for (TMenuItem* item : {small, large, day, night})
            EXPECT_EQ(item->GetChecked(), std::find(t.ticked.begin(), t.ticked.end(), item) != t.ticked.end())
                << StripHotkey(item->GetCaption());
    }
    host.PressKey(VK_F8);
    host.PressKey(VK_F8);
    host.PressKey(VK_F8);
    EXPECT_TRUE(Item("View/Show Names")->GetChecked());

    // The marks: a tick for the check item, a dot for the radio item, nothing
    // beside an unchecked one.
    host.PressKey('V', {ssAlt});
    thorn::MenuWindow* w = Open();
    auto markPixels = [&](const char* caption) {
        TRect r = w->RowRect(Row(w, caption));
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Left + 20; ++x) n += host.PixelAt(*w, x, y) == Shown(clMenuText);
        return n;
    };
    EXPECT_EQ(markPixels("Show Names"), 21);  // the seven-pixel tick, three pixels thick
    EXPECT_EQ(markPixels("Large"), 6 * 2 + 4 * 2 + 2 * 2);
    EXPECT_EQ(markPixels("Small"), 0);
}

TEST_F(GuiMenu, ShortCutsRunItemsAtAnyDepthWithoutOpeningTheMenus) {
    host.PressKey('O', {ssCtrl});
    host.PressKey('T', {ssCtrl, ssShift});
    EXPECT_EQ(log, (Log{"run Open project...", "run Two"}));
    EXPECT_TRUE(thorn::OpenPopups().empty());
    // A hidden item still answers; one under a disabled title does not.
    log.clear();
    Item("File/Open project...")->SetVisible(false);
    Item("File/Recent")->SetEnabled(false);
    host.PressKey('O', {ssCtrl});
    host.PressKey('T', {ssCtrl, ssShift});
    EXPECT_EQ(log, (Log{"run Open project...", "Field keydown 84", "Field keypress 20"}));
}

TEST_F(GuiMenu, AControlsPopupMenuOpensAtThePointerOnARightClick) {
    TPopupMenu* popup = thorn::Make<TPopupMenu>(*form);
    Add(popup->GetItems(), "&Cut");
    Add(popup->GetItems(), "&Paste");
    field->SetPopupMenu(popup);
    int popups = 0;
    popup->OnPopup = [&](TObject*) { ++popups; };
    int y = form->GetMenuBarHeight() + 10;
    host.Click(*form, 30, y, mbRight);
    ASSERT_TRUE(popup->IsOpen());
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(popup->GetPopupComponent(), field);
    thorn::MenuWindow* w = popup->GetMenuWindow();
    EXPECT_EQ(w->GetLeft(), 100 + 30);
    EXPECT_EQ(w->GetTop(), 100 + y);
    log.clear();
    ClickRow(w, "Paste");
    EXPECT_EQ(log, (Log{"run Paste"}));

    // The menu key opens it too; a handler may keep it shut.
    host.PressKey(VK_APPS);
    EXPECT_TRUE(popup->IsOpen());
    host.PressKey(VK_ESCAPE);
    EXPECT_FALSE(popup->IsOpen());
    field->OnContextPopup = [](TObject*, TPoint, bool& handled) { handled = true; };
    host.Click(*form, 30, y, mbRight);
    EXPECT_FALSE(popup->IsOpen());
}

TEST_F(GuiMenu, ItemsShowTheMenusImages) {
    TImageList* images = thorn::Make<TImageList>(*form);
    TBitmap32 picture;
    picture.SetSize(16, 16);
    picture.Clear(0xFF0000FFu);
    images->AddMasked(picture, clNone);
    menu->SetImages(images);
    Item("File/Exit")->SetImageIndex(0);
    host.PressKey('F', {ssAlt});
    thorn::MenuWindow* w = Open();
    TRect r = w->RowRect(Row(w, "Exit"));
    EXPECT_EQ(host.PixelAt(*w, r.Left + 10, (r.Top + r.Bottom) / 2), 0xFF0000FFu);
    TRect other = w->RowRect(Row(w, "New project"));
    EXPECT_EQ(host.PixelAt(*w, other.Left + 10, (other.Top + other.Bottom) / 2), Shown(clHighlight));  // selected
}

}  // namespace
