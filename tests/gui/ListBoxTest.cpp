#include <gtest/gtest.h>

#include "TestControls.h"
#include "gui/ListBox.h"
#include "platform/Collections.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::Shown;

// A list box of fruit, 200 x 100 at (10, 10) of its form, focused.
class GuiListBox : public ::testing::Test {
protected:
    GuiListBox() {
        form = MakeForm(300, 200);
        list = thorn::Make<TListBox>(*form);
        list->SetParent(form);
        list->SetBounds(10, 10, 200, 100);
        for (const char* fruit : {"Apple", "apricot", "Banana", "Blueberry", "Cherry", "Date", "Elder", "Fig", "Grape",
                                  "Guava", "Kiwi", "Lemon"})
            list->GetItems()->Add(fruit);
        list->OnClick = [this](TObject*) { ++clicks; };
        form->Show();
        list->SetFocus();
    }
    std::string Current() const { return list->GetItemIndex() < 0 ? "" : list->GetItems()->Get(list->GetItemIndex()); }
    // The screen point of item i's middle.
    TPoint At(int i) const {
        TRect r = list->ItemRect(i);
        return {10 + 2 + r.Left + 20, 10 + 2 + (r.Top + r.Bottom) / 2};
    }
    std::vector<int> SelectedItems() const {
        std::vector<int> s;
        for (int i = 0; i < list->GetCount(); ++i)
            if (list->GetSelected(i)) s.push_back(i);
        return s;
    }
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TListBox* list = nullptr;
    int clicks = 0;
};

TEST_F(GuiListBox, KeysAndTypingMoveTheSelection) {
    struct Case {
        const char* what;
        std::function<void()> input;
        const char* current;
        bool click = true;
    };
    auto keys = [this](std::initializer_list<TKey> ks) {
        for (TKey k : ks) host.PressKey(k);
    };
    const Case cases[] = {
        {"Down from nothing", [&] { keys({VK_DOWN}); }, "Apple"},
        {"Down", [&] { keys({VK_DOWN}); }, "apricot"},
        {"End", [&] { keys({VK_END}); }, "Lemon"},
        {"Down at the end stays", [&] { keys({VK_DOWN}); }, "Lemon", false},
        {"Home", [&] { keys({VK_HOME}); }, "Apple"},
        {"Page Down: to the last row in sight", [&] { keys({VK_NEXT}); }, "Elder"},
        {"a letter finds the next beginning with it", [&] { host.TypeText("g"); }, "Grape"},
        {"the same letter again, the one after", [&] { host.TypeText("g"); }, "Guava"},
        {"and round to the first", [&] { host.TypeText("g"); }, "Grape"},
        {"letter case does not matter", [&] { host.Advance(1500), host.TypeText("A"); }, "Apple"},
        {"quick letters make a word", [&] { host.Advance(1500), host.TypeText("ap"); }, "apricot"},
        {"a pause starts a new word", [&] { host.Advance(1500), host.TypeText("b"); }, "Banana"},
        {"a word of its own", [&] { host.Advance(1500), host.TypeText("blu"); }, "Blueberry"},
        {"nothing begins with it", [&] { host.Advance(1500), host.TypeText("x"); }, "Blueberry", false},
        {"Up", [&] { keys({VK_UP}); }, "Banana"},
    };
    int before = 0;
    for (const Case& c : cases) {
        c.input();
        EXPECT_EQ(Current(), c.current) << c.what;
        EXPECT_EQ(clicks > before, c.click) << c.what;
        before = clicks;
        // The current item is in sight.
        int index = list->GetItemIndex();
        EXPECT_GE(index, list->GetTopIndex()) << c.what;
        EXPECT_LT(index, list->GetTopIndex() + list->GetClientHeight() / list->GetItemHeight()) << c.what;
    }
    // The program's choice runs no OnClick.
    before = clicks;
    list->SetItemIndex(4);
    EXPECT_EQ(Current(), "Cherry");
    EXPECT_EQ(clicks, before);
}

TEST_F(GuiListBox, ShiftAndCtrlSelectRangesWhenMultiSelect) {
    list->SetMultiSelect(true);
    struct Case {
        const char* what;
        std::function<void()> input;
        std::vector<int> selected;
    };
    const Case cases[] = {
        {"click", [&] { host.Click(*form, At(2).X, At(2).Y); }, {2}},
        {"shift click", [&] { host.Click(*form, At(5).X, At(5).Y, mbLeft, {ssShift}); }, {2, 3, 4, 5}},
        {"shift up shrinks it from the anchor", [&] { host.PressKey(VK_UP, {ssShift}); }, {2, 3, 4}},
        {"ctrl click adds one", [&] { host.Click(*form, At(0).X, At(0).Y, mbLeft, {ssCtrl}); }, {0, 2, 3, 4}},
        {"ctrl click again takes it away", [&] { host.Click(*form, At(0).X, At(0).Y, mbLeft, {ssCtrl}); },
         {2, 3, 4}},
        {"ctrl down moves only the focus", [&] { host.PressKey(VK_DOWN, {ssCtrl}); }, {2, 3, 4}},
        {"ctrl space takes that one", [&] { host.PressKey(VK_SPACE, {ssCtrl}); }, {1, 2, 3, 4}},
        {"a drag selects from the press", [&] { list->SetTopIndex(0), host.Drag(*form, At(3), At(5)); }, {3, 4, 5}},
        {"a plain key selects one", [&] { host.PressKey(VK_DOWN); }, {6}},
    };
    for (const Case& c : cases) {
        c.input();
        EXPECT_EQ(SelectedItems(), c.selected) << c.what;
    }
    EXPECT_EQ(list->GetSelCount(), 1);
    list->SelectAll();
    list->DeleteSelected();
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->GetItemIndex(), -1);
}

TEST_F(GuiListBox, SelectionMovesWithTheItemsAroundIt) {
    list->SetMultiSelect(true);
    list->SetSelected(3, true);
    list->SetSelected(5, true);
    list->GetItems()->Insert(0, "Acai");
    list->GetItems()->Delete(6);  // Date
    EXPECT_EQ(SelectedItems(), (std::vector<int>{4}));
    EXPECT_EQ(list->GetItems()->Get(4), "Blueberry");
    list->GetItems()->Exchange(4, 0);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{0}));
    EXPECT_THROW(list->GetSelected(99), EListError);
}

TEST_F(GuiListBox, ReorderingKeepsTheSelectionOnItsItems) {
    struct Case {
        const char* what;
        bool multiSelect;
        std::vector<int> clicked;  // the first plainly, the others with Ctrl
        std::function<void()> reorder;
        std::vector<std::string> selected;
        const char* current;
    };
    const auto sort = [this] { list->SetSorted(true); };
    const Case cases[] = {
        {"one item sorted", false, {3}, sort, {"Banana"}, "Banana"},
        {"several sorted", true, {0, 2}, sort, {"Fig", "Kiwi"}, "Fig"},
        {"one item exchanged", false, {3}, [this] { list->GetItems()->Exchange(3, 0); }, {"Banana"}, "Banana"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list->SetSorted(false);
        list->SetMultiSelect(c.multiSelect);
        list->GetItems()->SetCommaText("Kiwi,Apple,Fig,Banana");
        for (size_t i = 0; i < c.clicked.size(); ++i) {
            const TPoint p = At(c.clicked[i]);
            host.Click(*form, p.X, p.Y, mbLeft, i == 0 ? TShiftState{} : TShiftState{ssCtrl});
        }
        c.reorder();
        Application->ProcessMessages();
        std::vector<std::string> selected;
        for (int i = 0; i < list->GetCount(); ++i) {
            const std::string item = list->GetItems()->Get(i);
            const bool shown = host.PixelAt(*form, At(i).X + 150, At(i).Y) == Shown(clHighlight);
            EXPECT_EQ(shown, list->GetSelected(i)) << item;
            if (list->GetSelected(i)) selected.push_back(item);
        }
        EXPECT_EQ(selected, c.selected);
        EXPECT_EQ(Current(), c.current);  // the focus went along too
    }
}

TEST_F(GuiListBox, ItemsAtPositionsAndOwnerDrawnHeights) {
    int h = list->GetItemHeight();
    EXPECT_EQ(h, 13);  // the 8-point font's height
    EXPECT_EQ(list->ItemAtPos({5, 2 * h + 1}, true), 2);
    list->SetTopIndex(3);
    EXPECT_EQ(list->ItemAtPos({5, 1}, true), 3);
    EXPECT_EQ(list->ItemAtPos({5, 2000}, true), -1);
    EXPECT_EQ(list->ItemAtPos({5, 2000}, false), list->GetCount());

    list->SetStyle(lbOwnerDrawVariable);
    list->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 + index; };
    list->GetItems()->BeginUpdate();
    list->GetItems()->EndUpdate();
    list->SetTopIndex(0);
    EXPECT_EQ(list->ItemRect(2).Top, 10 + 11);
    EXPECT_EQ(list->ItemRect(2).Bottom, 10 + 11 + 12);
    EXPECT_EQ(list->ItemAtPos({5, 10 + 11 + 11}, true), 2);
}

TEST_F(GuiListBox, OnlyTheRowsInSightArePaintedAndTheWheelScrolls) {
    thorn::WithinUpdate(*list->GetItems(), [&] {
        for (int i = 0; i < 10000; ++i) list->GetItems()->Add("Row " + std::to_string(i));
    });
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemHeight(16);
    std::vector<int> drawn;
    list->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
        drawn.push_back(index);
        list->Canvas().FillColor(rect, index % 2 ? clRed : clBlue);
    };
    list->Invalidate();
    Application->ProcessMessages();
    // The 96 pixels inside the frame hold six rows.
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(host.PixelAt(*form, 20, 12 + 16 + 3), Shown(clRed));
    drawn.clear();
    host.Wheel(*form, 50, 50, -120);  // a notch towards the user: three rows down
    EXPECT_EQ(list->GetTopIndex(), 3);
    EXPECT_EQ(drawn.front(), 3);
    EXPECT_LE(drawn.size(), 6u);
    host.PressKey(VK_END);
    EXPECT_EQ(list->GetTopIndex(), list->GetCount() - 6);
}

TEST_F(GuiListBox, TheSelectedRowShowsHighlighted) {
    list->SetItemIndex(1);
    Application->ProcessMessages();
    int h = list->GetItemHeight();
    EXPECT_EQ(host.PixelAt(*form, 12 + 150, 12 + h + h / 2), Shown(clHighlight));
    EXPECT_EQ(host.PixelAt(*form, 12 + 150, 12 + h / 2), Shown(clWindow));
    // The sunken frame.
    EXPECT_EQ(host.PixelAt(*form, 10, 10), Shown(clBtnShadow));
}

}  // namespace
