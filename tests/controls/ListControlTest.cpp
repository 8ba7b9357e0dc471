#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/Rmlistcontrol.h"
#include "gui/ScrollBars.h"
#include "gui/TestControls.h"
#include "support/Pixels.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;
using thorn::test::Shown;

// A list control whose hook throws, as a descendant's may.
class Throwing : public TrmListControl {
public:
    int changes = 0;

protected:
    void DoItemIndexChange() override {
        ++changes;
        throw std::runtime_error("descendant failed");
    }
};

// Fifty lines in a framed list of ten visible rows with a vertical bar,
// focused.
class ListControl : public ::testing::Test {
protected:
    ListControl() {
        form = MakeForm(400, 300);
        list = Place<Throwing>(*form, {10, 10, 210, 10});
        list->SetBorderStyle(bsSingle);
        list->SetScrollBars(ssVertical);
        row = list->MaxItemHeight();
        list->SetHeight(10 * row + 4);
        for (int i = 0; i < 50; ++i) list->GetItems()->Add("Line " + std::to_string(i));
        list->OnScroll = [this](TObject*, int bar) { scrolled.push_back(bar); };
        form->Show();
        list->SetFocus();
    }
    TPoint Row(int shownRow) const { return OnForm(*list, {20, shownRow * row + row / 2}); }
    // A point of the vertical bar, y pixels from the client area's top.
    TPoint Bar(int y) const { return OnForm(*list, {list->GetClientWidth() + 8, y}); }
    struct State {
        int index, start, count, top;
        bool operator==(const State&) const = default;
        friend std::ostream& operator<<(std::ostream& os, const State& s) {
            return os << "index " << s.index << ", range " << s.start << "+" << s.count << ", top " << s.top;
        }
    };
    State Now() const {
        return {list->GetItemIndex(), list->GetSelStart(), list->GetSelCount(), list->GetTopIndex()};
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    Throwing* list = nullptr;
    int row = 0;
    std::vector<int> scrolled;
};

TEST_F(ListControl, KeysMouseAndWheelMoveTheRowAndTheRange) {
    EXPECT_EQ(row, 13);
    EXPECT_EQ(list->VisibleItems(), 10);
    list->SetMultiSelect(true);
    struct Case {
        const char* what;
        std::function<void()> input;
        State expected;
    };
    const Case cases[] = {
        {"a click", [&] { host.Click(*form, Row(5).X, Row(5).Y); }, {5, 5, 0, 0}},
        {"Shift+Down grows the range", [&] { host.PressKey(VK_DOWN, {ssShift}); }, {6, 5, 1, 0}},
        {"Shift+Up shrinks it", [&] { host.PressKey(VK_UP, {ssShift}); }, {5, 5, 0, 0}},
        {"Shift+Up grows it upwards", [&] { host.PressKey(VK_UP, {ssShift}); }, {4, 4, 1, 0}},
        {"a shifted click", [&] { host.Click(*form, Row(7).X, Row(7).Y, mbLeft, {ssShift}); }, {7, 5, 2, 0}},
        {"Down alone", [&] { host.PressKey(VK_DOWN); }, {8, 8, 0, 0}},
        {"Page Down: a page less one", [&] { host.PressKey(VK_NEXT); }, {17, 17, 0, 8}},
        {"End", [&] { host.PressKey(VK_END); }, {49, 49, 0, 40}},
        {"Down at the end stays", [&] { host.PressKey(VK_DOWN); }, {49, 49, 0, 40}},
        {"Home", [&] { host.PressKey(VK_HOME); }, {0, 0, 0, 0}},
        {"a notch towards the user: a row", [&] { host.Wheel(*form, Row(1).X, Row(1).Y, -120); }, {0, 0, 0, 1}},
        {"three notches back: the top", [&] { host.Wheel(*form, Row(1).X, Row(1).Y, 360); }, {0, 0, 0, 0}},
        {"a drag selects what it passes", [&] { host.Drag(*form, Row(2), Row(4)); }, {4, 2, 2, 0}},
        {"the bar's lower arrow", [&] { host.Click(*form, Bar(10 * row - 4).X, Bar(10 * row - 4).Y); }, {4, 2, 2, 1}},
        {"below the thumb: a page", [&] { host.Click(*form, Bar(80).X, Bar(80).Y); }, {4, 2, 2, 11}},
        {"Up brings the row back into sight", [&] { host.PressKey(VK_UP); }, {3, 3, 0, 3}},
        {"no multiple selection: Shift+Down only moves",
         [&] { list->SetMultiSelect(false), host.PressKey(VK_DOWN, {ssShift}); }, {4, 4, 0, 3}},
        {"Down from the last row in sight brings the next into sight",
         [&] { host.Click(*form, Row(9).X, Row(9).Y), host.PressKey(VK_DOWN); }, {13, 13, 0, 4}},
    };
    for (const Case& c : cases) {
        c.input();
        EXPECT_EQ(Now(), c.expected) << c.what;
    }
    // The bar follows the top row; the descendant's failing hook undid nothing.
    EXPECT_EQ(GetScrollPos(*list, SB_VERT), 4);
    EXPECT_GT(list->changes, 10);
    EXPECT_EQ(scrolled.back(), kScrollBarHorizontal);
    EXPECT_NE(std::find(scrolled.begin(), scrolled.end(), kScrollBarVertical), scrolled.end());
}

TEST_F(ListControl, RowsBoundsAndTheHorizontalOffset) {
    list->SetTopIndex(1000);
    EXPECT_EQ(list->GetTopIndex(), 40);
    list->SetScrollBars(ssBoth);
    list->GetItems()->Add(std::string(200, 'W'));
    list->SetLongestLineLength(-1);
    int range = list->GetHScrollSize();
    EXPECT_EQ(range, list->MaxItemLength() - list->GetClientWidth());
    struct Case {
        const char* what;
        TKey key;
        TShiftState shift;
        int offset;
    };
    const Case cases[] = {{"Right", VK_RIGHT, {}, 1}, {"Right", VK_RIGHT, {}, 2}, {"Ctrl+Right", VK_RIGHT, {ssCtrl}, range},
                          {"Right at the end", VK_RIGHT, {}, range}, {"Left", VK_LEFT, {}, range - 1},
                          {"Ctrl+Left", VK_LEFT, {ssCtrl}, 0}, {"Left at the start", VK_LEFT, {}, 0}};
    for (const Case& c : cases) {
        host.PressKey(c.key, c.shift);
        EXPECT_EQ(list->GetHScrollPos(), c.offset) << c.what;
    }
    // The measured width is kept until it is asked to be measured again.
    list->GetItems()->Add(std::string(400, 'W'));
    EXPECT_EQ(list->GetHScrollSize(), range);
    list->SetLongestLineLength(-1);
    EXPECT_GT(list->GetHScrollSize(), range);
    // Lines that fit leave nothing to scroll.
    list->GetItems()->Clear();
    list->GetItems()->Add("one");
    list->SetTopIndex(5);
    EXPECT_EQ(list->GetTopIndex(), 0);
}

TEST_F(ListControl, AnEmptyListHasNoRowAndShowsItsColour) {
    list->SetItemIndex(7);
    list->GetItems()->Clear();
    EXPECT_EQ(list->GetItemIndex(), 7);  // clearing moves nothing
    host.PressKey(VK_DOWN);
    EXPECT_EQ(list->GetItemIndex(), -1);
    list->SetItemIndex(3);
    host.Click(*form, Row(2).X, Row(2).Y);
    EXPECT_EQ(list->GetItemIndex(), -1);
    list->SetColor(clYellow);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, Row(0).X, Row(0).Y), Shown(clYellow));
    EXPECT_EQ(host.PixelAt(*form, Row(9).X, Row(9).Y), Shown(clYellow));
}

TEST_F(ListControl, OnlyTheRowsInSightArePaintedAndTheRangeShows) {
    list->SetMultiSelect(true);
    list->SetTopIndex(20);
    list->SetSelStart(21);
    list->SetSelCount(2);
    std::vector<std::string> drawn;
    list->OnFormatDrawing = [&](TObject*, TCanvas& canvas, bool selected, std::string& text) {
        drawn.push_back(text + (selected ? "*" : ""));
        if (text == "Line 25") canvas.Brush().SetColor(clRed);
        text = "#";
    };
    list->Invalidate();
    Application->ProcessMessages();
    ASSERT_EQ(drawn.size(), 10u);
    EXPECT_EQ(drawn.front(), "Line 20");
    EXPECT_EQ(drawn[1], "Line 21*");
    EXPECT_EQ(drawn[3], "Line 23*");
    EXPECT_EQ(drawn[4], "Line 24");
    EXPECT_EQ(host.PixelAt(*form, Row(2).X + 60, Row(2).Y), Shown(clHighlight));
    EXPECT_EQ(host.PixelAt(*form, Row(5).X + 60, Row(5).Y), Shown(clRed));
    EXPECT_EQ(host.PixelAt(*form, Row(6).X + 60, Row(6).Y), Shown(clWindow));
    // Without the focus the range is not highlighted.
    thorn::test::Place<TrmListControl>(*form, {250, 10, 300, 50})->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, Row(2).X + 60, Row(2).Y), Shown(clWindow));
}

TEST_F(ListControl, HideSelectionAndTheFocusRectangle) {
    list->SetItemIndex(3);
    std::vector<bool> selected;
    list->OnFormatDrawing = [&](TObject*, TCanvas&, bool isSelected, std::string&) { selected.push_back(isSelected); };
    // The focus rectangle dots the current row's edge over the highlight.
    auto dotted = [&] {
        Application->ProcessMessages();
        int dots = 0;
        for (int x = 0; x < 8; ++x) dots += host.PixelAt(*form, OnForm(*list, {x, 3 * row}).X, Row(3).Y - row / 2) !=
                                            Shown(clHighlight);
        return dots;
    };
    EXPECT_EQ(dotted(), 4);
    list->SetShowFocusRect(false);
    EXPECT_EQ(dotted(), 0);
    EXPECT_EQ(host.PixelAt(*form, Row(3).X + 60, Row(3).Y), Shown(clHighlight));
    selected.clear();
    list->SetHideSelection(true);
    Application->ProcessMessages();
    EXPECT_EQ(host.PixelAt(*form, Row(3).X + 60, Row(3).Y), Shown(clWindow));
    EXPECT_EQ(std::count(selected.begin(), selected.end(), true), 0);
}

TEST_F(ListControl, RowsAndRangesFarOutsideTheListAreKeptInIt) {
    list->SetMultiSelect(true);
    struct Case {
        const char* what;
        std::function<void()> input;
        int index, count;
    };
    const Case cases[] = {
        {"Down from the largest start", [&] { list->SetSelStart(INT32_MAX), host.PressKey(VK_DOWN); }, 49, 0},
        {"Page Down from it", [&] { list->SetSelStart(INT32_MAX), host.PressKey(VK_NEXT); }, 49, 0},
        {"Up from the smallest", [&] { list->SetSelStart(INT32_MIN), host.PressKey(VK_UP); }, 0, 0},
        {"Page Up from it", [&] { list->SetSelStart(INT32_MIN), host.PressKey(VK_PRIOR); }, 0, 0},
        {"a range that runs past every row", [&] { list->SetSelStart(5), list->SetSelCount(INT32_MAX); }, INT32_MAX,
         INT32_MAX - 5},
        {"and back past the start", [&] { list->SetSelStart(-5), list->SetSelCount(INT32_MIN); }, INT32_MIN,
         INT32_MIN + 5},
        {"Shift+Down from the smallest start", [&] { list->SetSelStart(INT32_MIN), host.PressKey(VK_DOWN, {ssShift}); },
         0, INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.input();
        Application->ProcessMessages();  // painted with that range
        EXPECT_EQ(list->GetItemIndex(), c.index);
        EXPECT_EQ(list->GetSelCount(), c.count);
    }
    // A list without room for a row scrolls the far row into sight all the same.
    list->SetHeight(0);
    list->SetSelStart(INT32_MAX);
    list->ScrollToVisible();
    EXPECT_EQ(list->GetTopIndex(), 50);
}
TEST_F(ListControl, WheelEventsComeFirstAndTheListScrollsAllTheSame) {
    std::vector<std::string> events;
    list->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool&) {
        events.push_back("wheel " + std::to_string(delta));
    };
    list->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
        events.push_back("down");
        handled = true;
    };
    list->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool&) { events.push_back("up"); };
    host.Wheel(*form, Row(1).X, Row(1).Y, -240);
    EXPECT_EQ(list->GetTopIndex(), 2);
    host.Wheel(*form, Row(1).X, Row(1).Y, 120);
    EXPECT_EQ(list->GetTopIndex(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"wheel -240", "down", "wheel 120", "up"}));
}

}  // namespace
