#include <gtest/gtest.h>

#include <set>

#include "TestControls.h"
#include "gui/ScrollBars.h"
#include "gui/ScrollingControl.h"

namespace {

using thorn::test::MakeForm;
using thorn::test::OnForm;
using thorn::test::Place;
using thorn::kScrollBarSize;

constexpr int kRow = 10;

// Rows of 10 pixels on the scrolling base; remembers which rows it painted.
class Rows : public thorn::ScrollingControl {
public:
    Rows() {
        SetScrollBars(ssBoth);
        SetScrollUnit(1, kRow);
        SetLineStep(5, 1);
    }
    std::set<int> painted;

protected:
    void Paint() override {
        TRect units = GetVisibleUnits(Canvas().GetClipRect());
        for (int row = units.Top; row < units.Bottom; ++row) painted.insert(row);
    }
};

// A control that sets its window bars itself and writes down the messages.
class Probe : public TCustomControl {
public:
    std::vector<std::pair<int, int>> messages;  // code, pos

protected:
    void WMVScroll(int code, int pos) override {
        messages.emplace_back(code, pos);
        if (code == SB_THUMBTRACK || code == SB_LINEDOWN) ::SetScrollPos(*this, SB_VERT, pos ? pos : GetScrollPos(*this, SB_VERT) + 1);
    }
};

class GuiScrolling : public ::testing::Test {
protected:
    GuiScrolling() {
        form = MakeForm(300, 300);
        rows = Place<Rows>(*form, {10, 10, 110, 110});  // 100 x 100: ten rows
        form->Show();
    }
    // A point on the vertical bar, `along` pixels from its top.
    TPoint OnVerticalBar(int along) const { return OnForm(*rows, {rows->GetClientWidth() + 8, along}); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    Rows* rows = nullptr;
};

TEST_F(GuiScrolling, BarsComeAndGoWithTheContentAndTakeTheirRoomFromTheClientArea) {
    struct Case {
        TSize content;
        bool horizontal, vertical;
        TSize client;
    };
    const Case cases[] = {
        {{100, 10}, false, false, {100, 100}},
        {{100 - kScrollBarSize, 11}, false, true, {100 - kScrollBarSize, 100}},
        // The vertical bar narrows the view, which the content then outgrows.
        {{100, 11}, true, true, {100 - kScrollBarSize, 100 - kScrollBarSize}},
        {{101, 8}, true, false, {100, 100 - kScrollBarSize}},
    };
    int resizes = 0;
    rows->OnResize = [&](TObject*) { ++resizes; };
    for (const Case& c : cases) {
        rows->SetContentSize(c.content.cx, c.content.cy);
        SCOPED_TRACE(testing::Message() << c.content.cx << " x " << c.content.cy);
        EXPECT_EQ(IsScrollBarShown(*rows, SB_HORZ), c.horizontal);
        EXPECT_EQ(IsScrollBarShown(*rows, SB_VERT), c.vertical);
        EXPECT_EQ(rows->GetClientWidth(), c.client.cx);
        EXPECT_EQ(rows->GetClientHeight(), c.client.cy);
    }
    EXPECT_GT(resizes, 0);
    // ssNone keeps the bars away; the position is still kept in range.
    rows->SetScrollBars(ssNone);
    rows->SetContentSize(500, 500);
    EXPECT_FALSE(IsScrollBarShown(*rows, SB_VERT));
    rows->SetScrollPos({1000, 1000});
    EXPECT_EQ(rows->GetScrollPos(), (TPoint{400, 490}));
}

TEST_F(GuiScrolling, ArrowsPagesAndTheThumbMoveThePosition) {
    rows->SetContentSize(50, 100);  // 100 rows, 10 in view: positions 0 to 90
    TScrollInfo info{SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(*rows, SB_VERT, info));
    EXPECT_EQ(info.nMax, 99);
    EXPECT_EQ(info.nPage, 10u);
    int height = rows->GetClientHeight();
    TPoint down = OnVerticalBar(height - 4), up = OnVerticalBar(4);

    host.Click(*form, down.X, down.Y);
    EXPECT_EQ(rows->GetScrollPos().Y, 1);
    host.Click(*form, up.X, up.Y);
    host.Click(*form, up.X, up.Y);  // at the top already
    EXPECT_EQ(rows->GetScrollPos().Y, 0);
    // Below the thumb: a page of ten rows.
    TPoint track = OnVerticalBar(height - kScrollBarSize - 4);
    host.Click(*form, track.X, track.Y);
    EXPECT_EQ(rows->GetScrollPos().Y, 10);
    EXPECT_EQ(GetScrollPos(*rows, SB_VERT), 10);

    // The thumb follows the pointer; the track is 68 pixels, the thumb 8.
    rows->SetScrollPos({0, 0});
    TPoint thumb = OnVerticalBar(kScrollBarSize + 3);
    host.Drag(*form, thumb, {thumb.X, thumb.Y + 30}, 3);
    EXPECT_EQ(rows->GetScrollPos().Y, 45);
    host.Drag(*form, {thumb.X, thumb.Y + 30}, {thumb.X, thumb.Y + 500}, 2);
    EXPECT_EQ(rows->GetScrollPos().Y, 90);

    // The horizontal bar steps by the line step the control set.
    rows->SetContentSize(300, 100);
    TPoint right = OnForm(*rows, {rows->GetClientWidth() - 4, rows->GetClientHeight() + 8});
    host.Click(*form, right.X, right.Y);
    EXPECT_EQ(rows->GetScrollPos().X, 5);
}

TEST_F(GuiScrolling, AHeldArrowRepeatsOnTheTimerAndAHeldPageStopsAtThePointer) {
    rows->SetContentSize(50, 100);
    TPoint down = OnVerticalBar(rows->GetClientHeight() - 4);
    host.MouseDown(*form, down.X, down.Y);
    EXPECT_EQ(rows->GetScrollPos().Y, 1);
    host.Advance(thorn::kScrollRepeatDelay - 1);
    EXPECT_EQ(rows->GetScrollPos().Y, 1);
    host.Advance(1 + 3 * thorn::kScrollRepeatInterval);
    EXPECT_EQ(rows->GetScrollPos().Y, 5);
    // Off the arrow it waits; back on it, it goes on.
    host.MouseMove(*form, down.X - 40, down.Y);
    host.Advance(5 * thorn::kScrollRepeatInterval);
    EXPECT_EQ(rows->GetScrollPos().Y, 5);
    host.MouseMove(*form, down.X, down.Y);
    host.Advance(thorn::kScrollRepeatInterval);
    EXPECT_EQ(rows->GetScrollPos().Y, 6);
    host.MouseUp(*form, down.X, down.Y);
    host.Advance(1000);
    EXPECT_EQ(rows->GetScrollPos().Y, 6);

    // Pressed at two thirds of the track, pages go on until the thumb is
    // under the pointer.
    rows->SetScrollPos({0, 0});
    TPoint page = OnVerticalBar(kScrollBarSize + 45);
    host.MouseDown(*form, page.X, page.Y);
    host.Advance(3000);
    host.MouseUp(*form, page.X, page.Y);
    int pos = rows->GetScrollPos().Y;
    EXPECT_GE(pos, 50);
    EXPECT_LE(pos, 70);
    EXPECT_EQ(pos % 10, 0);
}

TEST_F(GuiScrolling, TheWheelScrollsThreeLinesANotchAndPassesOnWhatItCannotUse) {
    rows->SetContentSize(50, 100);
    TPoint inside = OnForm(*rows, {20, 20});
    host.Wheel(*form, inside.X, inside.Y, 120);  // forward, at the top already
    EXPECT_EQ(rows->GetScrollPos().Y, 0);
    host.Wheel(*form, inside.X, inside.Y, -120);
    EXPECT_EQ(rows->GetScrollPos().Y, 3);
    host.Wheel(*form, inside.X, inside.Y, -60);  // half a notch waits for the other half
    EXPECT_EQ(rows->GetScrollPos().Y, 3);
    host.Wheel(*form, inside.X, inside.Y, -60);
    EXPECT_EQ(rows->GetScrollPos().Y, 6);
    host.Wheel(*form, inside.X, inside.Y, -120 * 100);
    EXPECT_EQ(rows->GetScrollPos().Y, 90);

    // A list with nothing to scroll hands the wheel to its parent.
    Rows* inner = Place<Rows>(*rows, {0, 0, 50, 50});
    inner->SetContentSize(10, 2);
    TPoint onInner = OnForm(*inner, {10, 10});
    host.Wheel(*form, onInner.X, onInner.Y, 120);
    EXPECT_EQ(rows->GetScrollPos().Y, 87);
}

TEST_F(GuiScrolling, OnlyTheRowsInViewArePainted) {
    rows->SetContentSize(50, 100000);
    Application->ProcessMessages();
    EXPECT_EQ(rows->painted, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    rows->painted.clear();
    rows->ScrollInView({0, 5000, 1, 5001});
    EXPECT_EQ(rows->GetScrollPos().Y, 4991);
    Application->ProcessMessages();
    EXPECT_EQ(*rows->painted.begin(), 4991);
    EXPECT_EQ(*rows->painted.rbegin(), 5000);
    // Already in view: no scrolling.
    rows->ScrollInView({0, 4995, 1, 4996});
    EXPECT_EQ(rows->GetScrollPos().Y, 4991);
}

TEST_F(GuiScrolling, AnyWindowedControlGetsTheBarMessagesAndSetsThePositionItself) {
    Probe* probe = Place<Probe>(*form, {150, 10, 250, 110});
    TScrollInfo info{SIF_RANGE | SIF_PAGE | SIF_POS};
    info.nMin = 0;
    info.nMax = 19;
    info.nPage = 5;
    info.nPos = 40;  // kept to the last whole page
    EXPECT_EQ(SetScrollInfo(*probe, SB_VERT, info), 15);
    EXPECT_FALSE(IsScrollBarShown(*probe, SB_HORZ));
    TPoint barDown = OnForm(*probe, {probe->GetClientWidth() + 8, probe->GetClientHeight() - 4});
    probe->messages.clear();
    SetScrollPos(*probe, SB_VERT, 0);
    host.Click(*form, barDown.X, barDown.Y);
    EXPECT_EQ(probe->messages, (std::vector<std::pair<int, int>>{{SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    probe->messages.clear();
    TPoint thumb = OnForm(*probe, {probe->GetClientWidth() + 8, kScrollBarSize + 5});
    host.Drag(*form, thumb, {thumb.X, thumb.Y + 200}, 1);
    EXPECT_EQ(probe->messages,
              (std::vector<std::pair<int, int>>{{SB_THUMBTRACK, 15}, {SB_THUMBPOSITION, 15}, {SB_ENDSCROLL, 0}}));

    // Nothing to scroll: hidden, or greyed and deaf when asked to stay.
    info.nMax = 3;
    info.fMask = SIF_RANGE | SIF_DISABLENOSCROLL;
    SetScrollInfo(*probe, SB_VERT, info);
    EXPECT_TRUE(IsScrollBarShown(*probe, SB_VERT));
    probe->messages.clear();
    host.Click(*form, barDown.X, barDown.Y);
    EXPECT_TRUE(probe->messages.empty());
    info.fMask = SIF_RANGE;
    SetScrollInfo(*probe, SB_VERT, info);
    EXPECT_FALSE(IsScrollBarShown(*probe, SB_VERT));
    ShowScrollBar(*probe, SB_BOTH, true);
    EXPECT_TRUE(IsScrollBarShown(*probe, SB_HORZ));
    EXPECT_EQ(probe->GetClientHeight(), 100 - kScrollBarSize);
}

TEST_F(GuiScrolling, TheBarIsDrawnInTheClassicLook) {
    rows->SetContentSize(50, 100);
    Application->ProcessMessages();
    TPoint up = OnVerticalBar(0);
    TPoint track = OnVerticalBar(kScrollBarSize + 20);
    // The arrow button's light top-left corner, the checkered track.
    EXPECT_EQ(host.PixelAt(*form, up.X - 8, up.Y), Color32(clBtnHighlight));
    TColor32 a = host.PixelAt(*form, track.X, track.Y), b = host.PixelAt(*form, track.X + 1, track.Y);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == Color32(clBtnHighlight) && b == Color32(clBtnFace)) ||
                (b == Color32(clBtnHighlight) && a == Color32(clBtnFace)));
}

}  // namespace
