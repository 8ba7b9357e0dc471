#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "TestControls.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/RowView.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::Shown;
using Log = std::vector<std::string>;

// A combo box whose typed text completes from its items on key release, as
// the library's completing combo box does it through these same calls.
class CompletingCombo : public TComboBox {
protected:
    void KeyUp(TKey& key, TShiftState shift) override {
        TComboBox::KeyUp(key, shift);
        if (key == VK_BACK || key == VK_DELETE || GetSelStart() != static_cast<int>(GetText().size())) return;
        int found = FindString(GetText());
        if (found < 0) return;
        int typed = static_cast<int>(GetText().size());
        SetItemIndex(found);
        SetSelStart(typed);
        SetSelLength(static_cast<int>(GetText().size()) - typed);
    }
};

// A form with a combo box of resources at (20, 30), 150 wide, focused,
// whose events are written into the log.
class GuiComboBox : public ::testing::Test {
protected:
    GuiComboBox() {
        form = MakeForm(300, 200);
        combo = thorn::Make<CompletingCombo>(*form);
        combo->SetParent(form);
        combo->SetBounds(20, 30, 150, 0);
        for (const char* item : {"Gold", "Wood", "Stone", "Iron", "Wheat"}) combo->GetItems()->Add(item);
        combo->OnChange = [this](TObject*) { log.push_back("change " + combo->GetText()); };
        combo->OnClick = [this](TObject*) { log.push_back("click"); };
        combo->OnDropDown = [this](TObject*) { log.push_back("drop"); };
        combo->OnCloseUp = [this](TObject*) { log.push_back("close"); };
        form->Show();
        combo->SetFocus();
        log.clear();
    }
    void ClickButton() { host.Click(*form, 20 + 150 - 8, 30 + 10); }
    TPopupWindow* List() const { return combo->GetListWindow(); }
    void ClickListRow(int row) {
        TRect r = combo->GetListView()->RowRect(row);
        host.Click(*List(), 1 + r.Left + 20, 1 + (r.Top + r.Bottom) / 2);
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    CompletingCombo* combo = nullptr;
    Log log;
};

TEST_F(GuiComboBox, TheButtonDropsTheListBelowAndAClickPicksAnItem) {
    EXPECT_EQ(combo->GetHeight(), 21);  // the 8-point font's line and the frame
    ClickButton();
    ASSERT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(List()->GetBoundsRect(), (TRect{100 + 20, 100 + 30 + 21, 100 + 20 + 150, 100 + 30 + 21 + 5 * 13 + 2}));
    EXPECT_TRUE(combo->GetEditPart()->Focused());
    // The pointer highlights what it passes over; the pick comes with the click.
    TRect r = combo->GetListView()->RowRect(2);
    host.MouseMove(*List(), 20, 1 + r.Top + 3);
    EXPECT_EQ(combo->GetItemIndex(), -1);
    ClickListRow(2);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_EQ(combo->GetText(), "Stone");
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(log, (Log{"drop", "click", "change Stone", "close"}));
    // The list sizes itself by DropDownCount; a count below one (which
    // would drop an empty list) gives the default, 8.
    for (int i = 0; i < 15; ++i) combo->GetItems()->Add("More " + std::to_string(i));
    for (const auto& [count, rows] : {std::pair{3, 3}, {0, 8}, {-1, 8}, {INT32_MIN, 8}, {8, 8}}) {
        SCOPED_TRACE(count);
        combo->SetDropDownCount(count);
        ClickButton();
        ASSERT_TRUE(combo->GetDroppedDown());
        EXPECT_EQ(List()->GetHeight(), rows * 13 + 2);
        if (count != 8) ClickButton();
    }
    // A press outside closes it, and nothing is picked.
    log.clear();
    host.Click(*form, 250, 150);
    EXPECT_FALSE(combo->GetDroppedDown());
    EXPECT_EQ(log, (Log{"close"}));
    // A second press on the button closes the list it opened.
    ClickButton();
    ClickButton();
    EXPECT_FALSE(combo->GetDroppedDown());
}

// A list taller than the work area (800 x 600) is cut to it and scrolls:
// its last item can be shown.
TEST_F(GuiComboBox, AListTallerThanTheWorkAreaIsCutToItAndScrolls) {
    host.SetWorkArea({0, 0, 800, 600});
    for (int i = 0; i < 95; ++i) combo->GetItems()->Add("More " + std::to_string(i));
    combo->SetDropDownCount(100);
    host.PressKey(VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown());
    EXPECT_EQ(List()->GetBoundsRect(), (TRect{120, 0, 270, 600}));
    thorn::RowView& rows = *combo->GetListView();
    EXPECT_EQ(rows.GetBoundsRect(), (TRect{1, 1, 149, 599}));
    host.PressKey(VK_END);
    EXPECT_EQ(rows.GetFocusedRow(), 99);
    EXPECT_LE(rows.RowRect(99).Bottom, rows.GetClientHeight());
}

TEST_F(GuiComboBox, TheKeyboardDropsMovesPicksAndCancels) {
    combo->SetItemIndex(1);
    struct Case {
        const char* what;
        TKey key;
        TShiftState shift;
        bool dropped;
        int itemIndex;
        Log heard;
    };
    const Case cases[] = {
        {"Down picks the next at once", VK_DOWN, {}, false, 2, {"click", "change Stone"}},
        {"Alt+Down drops the list", VK_DOWN, {ssAlt}, true, 2, {"drop"}},
        {"Down moves the highlight only", VK_DOWN, {}, true, 2, {}},
        {"Escape closes, picking nothing", VK_ESCAPE, {}, false, 2, {"close"}},
        {"F4 drops it", VK_F4, {}, true, 2, {"drop"}},
        {"End", VK_END, {}, true, 2, {}},
        {"Enter picks the highlighted one", VK_RETURN, {}, false, 4, {"click", "change Wheat", "close"}},
        {"Up at once again", VK_UP, {}, false, 3, {"click", "change Iron"}},
        {"F4 drops", VK_F4, {}, true, 3, {"drop"}},
        {"Up", VK_UP, {}, true, 3, {}},
        {"Alt+Up closes keeping the highlight", VK_UP, {ssAlt}, false, 2, {"click", "change Stone", "close"}},
    };
    for (const Case& c : cases) {
        log.clear();
        host.PressKey(c.key, c.shift);
        EXPECT_EQ(combo->GetDroppedDown(), c.dropped) << c.what;
        EXPECT_EQ(combo->GetItemIndex(), c.itemIndex) << c.what;
        EXPECT_EQ(log, c.heard) << c.what;
    }
    // The program's choices run no event.
    log.clear();
    combo->SetItemIndex(0);
    combo->SetText("Copper");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(combo->GetEditPart()->GetText(), "Copper");
}

TEST_F(GuiComboBox, TheHighlightStaysOnItsItemWhenTheProgramMovesTheItems) {
    struct Case {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"an item put in before it", [&] { combo->GetItems()->Insert(0, "Copper"); }},
        {"an exchange", [&] { combo->GetItems()->Exchange(1, 3); }},
        {"a sort", [&] { combo->SetSorted(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        combo->SetSorted(false);
        combo->Clear();
        for (const char* item : {"Gold", "Wood", "Stone", "Iron", "Wheat"}) combo->GetItems()->Add(item);
        host.PressKey(VK_F4);
        host.PressKey(VK_DOWN);
        host.PressKey(VK_DOWN);  // Wood
        c.change();
        Application->ProcessMessages();
        const int wood = combo->GetItems()->IndexOf("Wood");
        const TRect row = combo->GetListView()->RowRect(wood);
        EXPECT_EQ(host.PixelAt(*List(), 1 + row.Right - 4, 1 + (row.Top + row.Bottom) / 2), Shown(clHighlight));
        host.PressKey(VK_RETURN);
        EXPECT_EQ(combo->GetText(), "Wood");
        EXPECT_EQ(combo->GetItemIndex(), wood);
    }
}

TEST_F(GuiComboBox, TypingInTheEditPartChangesTheTextAndFindsItemsByTheirBeginning) {
    combo->GetItems()->Clear();
    for (const char* item : {"Abc", "abd", "Xyz"}) combo->GetItems()->Add(item);
    for (char ch : std::string("ab")) {
        // A key goes down, types its character and comes up.
        TKey key = static_cast<TKey>(std::toupper(ch));
        host.KeyDown(key);
        host.TypeText(std::string(1, ch));
        host.KeyUp(key);
    }
    EXPECT_EQ(combo->GetText(), "Abc");  // completed on the key's release
    EXPECT_EQ(combo->GetSelStart(), 2);
    EXPECT_EQ(combo->GetSelText(), "c");
    EXPECT_EQ(log, (Log{"change a", "change Ab"}));  // the typed b replaced the completed tail

    struct Case {
        const char* text;
        int after;
        int found;
    };
    const Case cases[] = {{"ab", -1, 0}, {"AB", 0, 1}, {"ab", 1, 0}, {"x", -1, 2}, {"q", -1, -1}, {"", 0, 1}};
    for (const Case& c : cases) EXPECT_EQ(combo->FindString(c.text, c.after), c.found) << c.text << " " << c.after;
}

TEST_F(GuiComboBox, AListStyleTakesItsTextFromTheItemsAndFindsThemByTyping) {
    combo->SetStyle(csDropDownList);
    EXPECT_EQ(combo->GetEditPart(), nullptr);
    combo->SetFocus();
    host.TypeText("w");
    EXPECT_EQ(combo->GetText(), "Wood");
    host.TypeText("w");
    EXPECT_EQ(combo->GetText(), "Wheat");
    combo->SetText("iron");
    EXPECT_EQ(combo->GetItemIndex(), 3);
    combo->SetText("Copper");
    EXPECT_EQ(combo->GetItemIndex(), -1);
    EXPECT_EQ(combo->GetText(), "");
    // A press anywhere on it drops the list; the chosen item shows highlighted.
    combo->SetItemIndex(0);
    host.Click(*form, 30, 40);
    EXPECT_TRUE(combo->GetDroppedDown());
    host.PressKey(VK_ESCAPE);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, 20 + 2 + 2, 30 + 10), Shown(clHighlight));
}

TEST_F(GuiComboBox, OwnerDrawnItemsAreDrawnByTheHandlerInTheListAndTheFace) {
    combo->SetStyle(csOwnerDrawFixed);
    combo->SetItemHeight(14);  // as the grid's combo editors set it
    combo->SetCtl3D(false);
    EXPECT_EQ(combo->GetHeight(), 14 + 6);
    std::vector<std::pair<int, bool>> drawn;
    combo->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        drawn.emplace_back(index, state.Contains(odComboBoxEdit));
        static_cast<TComboBox*>(control)->Canvas().FillColor(rect, index == 1 ? clRed : clLime);
    };
    combo->SetItemIndex(1);
    Application->ProcessMessages();
    EXPECT_EQ(drawn, (std::vector<std::pair<int, bool>>{{1, true}}));
    drawn.clear();
    ClickButton();
    Application->ProcessMessages();
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), std::pair{0, false}), 1);
    EXPECT_EQ(std::count_if(drawn.begin(), drawn.end(), [](auto d) { return !d.second; }), 5);
    EXPECT_EQ(host.PixelAt(*List(), 10, 1 + 14 + 7), Shown(clRed));
    EXPECT_EQ(host.PixelAt(*form, 20, 30), Shown(clWindowFrame));  // the plain frame
    EXPECT_EQ(host.PixelAt(*form, 22, 32), Shown(clRed));          // the chosen item inside it
    EXPECT_EQ(host.PixelAt(*List(), 10, 1 + 7), Shown(clLime));
}

// Freed while its list is down, the active form leaves the keyboard to no
// window: keys go nowhere until a window takes it again, as on a desktop.
TEST_F(GuiComboBox, KeysGoNowhereOnceTheActiveFormIsFreed) {
    host.PressKey(VK_F4);
    ASSERT_TRUE(combo->GetDroppedDown());
    thorn::Free(form);
    EXPECT_NO_THROW(host.PressKey(VK_DOWN));
    EXPECT_NO_THROW(host.TypeText("x"));
    TForm* next = MakeForm(200, 100);
    auto* edit = thorn::Make<TEdit>(*next);
    edit->SetParent(next);
    next->Show();
    edit->SetFocus();
    host.TypeText("ok");
    EXPECT_EQ(edit->GetText(), "ok");
}

}  // namespace
