// Range and gauge bars on the headless host: button and handle geometry,
// zones, the auto-repeat and hot-tracking timer on the virtual clock,
// dragging, the wheel, and the pixels of the classic and flat looks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bitmapui/Pix32_RangeBars.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "support/Pixels.h"

namespace {

using thorn::test::Shown;

// (c1*w + c2*(255 - w)) >> 8 per channel of two GUI colours.
TColor Mix(TColor c1, TColor c2, int w) {
    uint32_t a = ColorToRGB(c1), b = ColorToRGB(c2), out = 0;
    for (int s = 0; s < 24; s += 8) out |= (((a >> s & 0xFF) * w + (b >> s & 0xFF) * (255 - w)) >> 8) << s;
    return static_cast<TColor>(out);
}

TColor Shade(TColor c, int amount) {
    uint32_t rgb = ColorToRGB(c), out = 0;
    for (int s = 0; s < 24; s += 8) out |= static_cast<uint32_t>(std::clamp<int>((rgb >> s & 0xFF) + amount, 0, 255)) << s;
    return static_cast<TColor>(out);
}

class RangeBars : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    std::vector<std::string> log;

    void SetUp() override {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 420, 200);
    }

    // A bar at (10, 10) of the form, without a border unless asked.
    template <typename T>
    T* AddBar(int width, int height, TBorderStyle border = bsNone) {
        T* bar = thorn::Make<T>(*form);
        bar->SetBorderStyle(border);
        bar->SetBounds(10, 10, width, height);
        bar->SetParent(form);
        bar->OnChange = [this](TObject*) { log.push_back("change"); };
        bar->OnUserChange = [this](TObject*) { log.push_back("user"); };
        return bar;
    }

    // A range bar with a 300-pixel track between two 16-pixel buttons.
    TRangeBar* AddRangeBar(int32_t range, int32_t window) {
        TRangeBar* bar = AddBar<TRangeBar>(332, 16);
        bar->SetRange(range);
        bar->SetWindow(window);
        return bar;
    }

    // A pixel of the bar as the window shows it, after painting.
    TColor32 Pixel(int x, int y) const {
        Application->ProcessMessages();
        return host.PixelAt(*form, 10 + x, 10 + y);
    }
    // The places inside the rectangle of the bar where it shows the colour.
    thorn::test::Points PixelsOf(const TRect& r, TColor colour) const {
        thorn::test::Points points;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (Pixel(x, y) == Shown(colour)) points.insert({x, y});
        return points;
    }
    std::vector<TColor32> PixelsIn(const TRect& r) const {
        std::vector<TColor32> pixels;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    }
    void Down(int x, int y) { host.MouseMove(*form, 10 + x, 10 + y), host.MouseDown(*form, 10 + x, 10 + y); }
    void Move(int x, int y) { host.MouseMove(*form, 10 + x, 10 + y); }
    void Up(int x, int y) { host.MouseUp(*form, 10 + x, 10 + y); }
};

// Buttons as thick as the bar, at most 32 and at most half its length, a
// pixel less in the flat look, none below 2 pixels or without arrows; a set
// size wins; a border takes a pixel on every side.
TEST_F(RangeBars, ButtonSizes) {
    TRangeBar* bar = AddBar<TRangeBar>(100, 16);
    struct Case {
        TRBStyle style;
        int width, height, set;
        bool arrows;
        TBorderStyle border;
        int expected;
    };
    for (const Case& c : {Case{rbsDefault, 100, 16, 0, true, bsNone, 16}, {rbsMac, 100, 16, 0, true, bsNone, 15},
                          {rbsDefault, 20, 16, 0, true, bsNone, 10}, {rbsMac, 20, 16, 0, true, bsNone, 9},
                          {rbsMac, 20, 16, 0, false, bsNone, 0}, {rbsDefault, 3, 16, 0, true, bsNone, 0},
                          {rbsDefault, 100, 60, 0, true, bsNone, 32}, {rbsDefault, 100, 60, 12, true, bsNone, 12},
                          {rbsDefault, 100, 18, 0, true, bsSingle, 16}}) {
        bar->SetStyle(c.style);
        bar->SetBounds(10, 10, c.width, c.height);
        bar->SetButtonSize(c.set);
        bar->SetShowArrows(c.arrows);
        bar->SetBorderStyle(c.border);
        EXPECT_EQ(bar->GetButtonSize(), c.expected) << c.width << "x" << c.height;
    }
}

TEST_F(RangeBars, HandleSizedByTheWindow) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    EXPECT_EQ(bar->GetHandleRect(), (TRect{16, 0, 46, 16}));  // 300 * 100 / 1000
    bar->SetPosition(450);
    EXPECT_EQ(bar->GetHandleRect(), (TRect{151, 0, 181, 16}));  // offset 300 * 450 / 1000
    bar->SetPosition(5000);
    EXPECT_EQ(bar->GetPosition(), 900);  // Range - Window at most
    bar->SetPosition(-3);
    EXPECT_EQ(bar->GetPosition(), 0);

    bar->SetWindow(119);  // 35.7 pixels, rounded
    EXPECT_EQ(bar->GetHandleRect().Width(), 36);
    bar->SetWindow(100);
    bar->SetRange(100000);  // 0.3 pixels: the handle keeps 17 and travels over 283
    bar->SetPosition(50000);
    EXPECT_EQ(bar->GetHandleRect(), (TRect{16 + 142, 0, 16 + 142 + 17, 16}));  // Round(283 * 50000 / 99900)

    bar->SetRange(50);  // all in view: the handle fills the track, drawn as disabled
    EXPECT_EQ(bar->GetHandleRect(), (TRect{16, 0, 316, 16}));
    EXPECT_FALSE(bar->DrawEnabled());

    bar->SetRange(1000);
    bar->SetWidth(32 + 17);  // a 17-pixel track has no handle
    EXPECT_TRUE(IsRectEmpty(bar->GetHandleRect()));
}

TEST_F(RangeBars, WindowFollowsTheBarLength) {
    TRangeBar* bar = AddRangeBar(1000, 0);
    EXPECT_EQ(bar->GetEffectiveWindow(), 332);
    bar->SetWidth(200);
    EXPECT_EQ(bar->GetEffectiveWindow(), 200);
    bar->SetPosition(900);
    EXPECT_EQ(bar->GetPosition(), 800);
    bar->SetWidth(400);  // resizing clamps
    EXPECT_EQ(bar->GetPosition(), 600);
    EXPECT_TRUE(log == (std::vector<std::string>{"change"}));  // only the set position reported
}

TEST_F(RangeBars, CentredBarKeepsTheViewCentre) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    bar->SetCentered(true);
    bar->SetPosition(450);  // centre at 500 of 1000
    bar->SetRange(2000);
    EXPECT_EQ(bar->GetPosition(), 950);  // centre at 1000 of 2000
    bar->SetWindow(200);
    EXPECT_EQ(bar->GetPosition(), 900);
    bar->SetRange(150);  // all in view: clamped to 0
    EXPECT_EQ(bar->GetPosition(), 0);
    bar->SetRange(1000);  // from a range that was all in view, the middle
    EXPECT_EQ(bar->GetPosition(), 400);
}

// The zone under each pixel on either side of every boundary.
TEST_F(RangeBars, Zones) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    bar->SetPosition(450);  // buttons 0 .. 15 and 316 .. 331, handle 151 .. 180
    for (auto [x, y, zone] : {std::tuple{15, 8, zBtnPrev}, {16, 8, zTrackPrev}, {150, 8, zTrackPrev},
                              {151, 8, zHandle}, {180, 15, zHandle}, {181, 8, zTrackNext}, {315, 0, zTrackNext},
                              {316, 8, zBtnNext}, {331, 15, zBtnNext}, {332, 8, zNone}, {20, -1, zNone}})
        EXPECT_EQ(bar->GetZone(x, y), zone) << x << "," << y;
    EXPECT_EQ(bar->GetZoneRect(zTrackPrev), (TRect{16, 0, 151, 16}));
    EXPECT_EQ(bar->GetZoneRect(zTrackNext), (TRect{181, 0, 316, 16}));
    EXPECT_EQ(bar->GetZoneRect(zBtnNext), (TRect{316, 0, 332, 16}));
    bar->SetRange(50);  // a bar that cannot move shows its tracks split at the middle
    EXPECT_EQ(bar->GetZoneRect(zTrackPrev), (TRect{16, 0, 166, 16}));
    EXPECT_EQ(bar->GetZoneRect(zHandle), (TRect{166, 0, 166, 16}));
    // A track too short for a handle: all of it lies after the empty handle.
    bar->SetRange(1000);
    bar->SetWidth(32 + 17);
    EXPECT_EQ(bar->GetZone(16, 8), zTrackNext);
    EXPECT_EQ(bar->GetZone(15, 8), zBtnPrev);

    bar->SetKind(sbVertical);
    bar->SetBounds(10, 10, 16, 180);
    bar->SetPosition(450);  // handle 82 .. 98
    for (auto [x, y, zone] : {std::tuple{8, 15, zBtnPrev}, {8, 16, zTrackPrev}, {8, 163, zTrackNext},
                              {8, 164, zBtnNext}, {8, 179, zBtnNext}})
        EXPECT_EQ(bar->GetZone(x, y), zone) << x << "," << y;
    EXPECT_EQ(bar->GetZoneRect(zBtnNext), (TRect{0, 164, 16, 180}));
}

// Waits on the virtual clock and the position after each.
struct Tick {
    uint64_t wait;
    float position;
};

TEST_F(RangeBars, HeldButtonRepeatsOnTheVirtualClock) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    form->Show();
    Down(320, 8);  // the next button: one step at once
    EXPECT_EQ(bar->GetDragZone(), zBtnNext);
    // Again after 600 ms, then every 100 ms.
    for (Tick t : {Tick{0, 8}, {599, 8}, {1, 16}, {99, 16}, {1, 24}, {300, 48}}) {
        host.Advance(t.wait);
        EXPECT_EQ(bar->GetPosition(), t.position) << "after " << t.wait;
    }
    Up(320, 8);
    host.Advance(1000);
    EXPECT_EQ(bar->GetPosition(), 48);
    EXPECT_EQ(bar->GetDragZone(), zNone);
    // Every step was the user's.
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {"change", "user"});
    EXPECT_EQ(log, expected);

    // Held at the start, the repeat stops once the position no longer moves.
    bar->SetPosition(16);
    log.clear();
    Down(3, 8);
    for (Tick t : {Tick{0, 8}, {600, 0}, {100, 0}, {1000, 0}}) {
        host.Advance(t.wait);
        EXPECT_EQ(bar->GetPosition(), t.position) << "after " << t.wait;
    }
    EXPECT_EQ(log.size(), 4u);
    Up(3, 8);
}

// Held on a track, a bar pages at once and again while the cursor, kept
// within the bar, stays on that track: the handle coming under it stops the
// paging, the cursor back on the track or above it takes it up again.
TEST_F(RangeBars, TrackPagesWhileTheCursorStaysOnIt) {
    struct Case {
        const char* what;
        bool gauge;
        int start, press;
        std::vector<Tick> held;  // the handle reaches the cursor
        int back;                // a point of the same track past the handle
        float then, above;       // after a step there, after one more above the bar
    };
    // The range bar: 1000 in windows of 100 over a 300-pixel track. The gauge:
    // 0 to 100 in steps of 20, a 10-pixel handle over a 100-pixel track.
    const Case cases[] = {
        {"range bar, after the handle", false, 0, 100, {{0, 100}, {600, 200}, {100, 200}, {500, 200}}, 200, 300, 400},
        {"range bar, before the handle", false, 900, 232, {{0, 800}, {600, 700}, {100, 700}, {500, 700}}, 100, 600, 500},
        {"gauge, after the handle", true, 0, 60, {{0, 20}, {600, 40}, {100, 40}, {500, 40}}, 100, 60, 80},
        {"gauge, before the handle", true, 100, 72, {{0, 80}, {600, 60}, {100, 60}, {500, 60}}, 30, 40, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TArrowBar* bar = nullptr;
        std::function<float()> position;
        if (c.gauge) {
            TGaugeBar* gauge = AddBar<TGaugeBar>(132, 16);
            gauge->SetHandleSize(10);
            gauge->SetLargeChange(20);
            gauge->SetPosition(c.start);
            position = [gauge] { return static_cast<float>(gauge->GetPosition()); };
            bar = gauge;
        } else {
            TRangeBar* range = AddRangeBar(1000, 100);
            range->SetPosition(static_cast<float>(c.start));
            position = [range] { return range->GetPosition(); };
            bar = range;
        }
        form->Show();
        Down(c.press, 8);
        for (Tick t : c.held) {
            host.Advance(t.wait);
            EXPECT_EQ(position(), t.position) << "after " << t.wait;
        }
        Move(c.back, 8);
        host.Advance(100);
        EXPECT_EQ(position(), c.then);
        Move(c.back, -20);
        host.Advance(100);
        EXPECT_EQ(position(), c.above);
        Up(c.back, -20);
        bar->SetVisible(false);
    }
}

TEST_F(RangeBars, DraggingTheHandle) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    form->Show();
    bar->SetPosition(100);  // handle 46 .. 75
    log.clear();
    Down(50, 8);
    EXPECT_EQ(bar->GetDragZone(), zHandle);
    EXPECT_EQ(bar->GetPosition(), 100);  // a press on the handle does not step
    Move(80, 8);  // 30 pixels of 300 are 100 of the range
    EXPECT_FLOAT_EQ(bar->GetPosition(), 200);
    Move(-500, 30);
    EXPECT_EQ(bar->GetPosition(), 0);
    Up(-500, 30);
    host.Advance(2000);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"change", "user", "change", "user"}));

    // A handle held at 17 pixels travels the range less the window over the
    // track less 17.
    bar->SetRange(100000);
    Down(20, 8);
    Move(30, 8);
    EXPECT_EQ(bar->GetPosition(), 3530);  // Round(99900 * 10 / 283)
    Up(30, 8);
}

TEST_F(RangeBars, WheelMovesByTheIncrement) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    form->Show();
    host.Wheel(*form, 100, 18, 120);
    EXPECT_EQ(bar->GetPosition(), 8);
    bar->SetIncrement(20);
    host.Wheel(*form, 100, 18, 60);
    EXPECT_EQ(bar->GetPosition(), 18);
    bool asked = false;
    bar->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) { asked = handled = true; };
    host.Wheel(*form, 100, 18, 120);
    EXPECT_TRUE(asked);
    EXPECT_EQ(bar->GetPosition(), 18);
    EXPECT_EQ(log, (std::vector<std::string>{"change", "user", "change", "user"}));

    // The least turn either way asks the handlers too; unhandled, it moves
    // by its share of the increment.
    std::vector<std::string> asks;
    bar->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) { asks.push_back("up"), handled = true; };
    bar->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) { asks.push_back("down"), handled = true; };
    host.Wheel(*form, 100, 18, 1);
    host.Wheel(*form, 100, 18, -1);
    EXPECT_EQ(asks, (std::vector<std::string>{"up", "down"}));
    EXPECT_EQ(bar->GetPosition(), 18);
    bar->OnMouseWheelUp = nullptr;
    bar->OnMouseWheelDown = nullptr;
    host.Wheel(*form, 100, 18, 1);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 18 + 20.0f / 120);
}

TEST_F(RangeBars, HotZoneFollowsTheMouseAndClearsOnLeaving) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    form->Show();
    Move(320, 8);
    EXPECT_EQ(bar->GetHotZone(), zBtnNext);
    Move(100, 8);
    EXPECT_EQ(bar->GetHotZone(), zTrackNext);
    host.MouseMove(*form, 200, 150);  // off the bar
    EXPECT_EQ(bar->GetHotZone(), zNone);

    // Released outside the bar after a drag: the hot-tracking tick finds the
    // cursor gone.
    Down(320, 8);
    Move(320, 100);
    Up(320, 100);
    host.Advance(150);
    EXPECT_EQ(bar->GetHotZone(), zNone);
    // Gone to another window without crossing the bar's edge: the tick too.
    Move(320, 8);
    TForm* other = Application->CreateForm<TForm>();
    other->SetBounds(600, 100, 100, 100);
    other->Show();
    host.MouseMove(*other, 50, 50);
    host.Advance(150);
    EXPECT_EQ(bar->GetHotZone(), zNone);
}

// From -100 to 100 the handle and a drag measure from the minimum.
TEST_F(RangeBars, GaugeWithANegativeMinimum) {
    TGaugeBar* gauge = AddBar<TGaugeBar>(132, 16);  // a track of 100 between the buttons
    gauge->SetMin(-100);
    gauge->SetHandleSize(10);
    gauge->SetPosition(-150);
    EXPECT_EQ(gauge->GetPosition(), -100);
    gauge->SetPosition(0);  // offset Round(90 * 100 / 200)
    EXPECT_EQ(gauge->GetHandleRect(), (TRect{16 + 45, 0, 16 + 55, 16}));
    form->Show();
    Down(16 + 50, 8);
    Move(16 + 50 + 45, 8);  // half the handle's travel: half the span
    EXPECT_EQ(gauge->GetPosition(), 100);
    Up(16 + 50 + 45, 8);
}

TEST_F(RangeBars, GaugeLimitsAndSteps) {
    TGaugeBar* gauge = AddBar<TGaugeBar>(132, 16);
    gauge->SetMin(150);  // Min stays below Max
    EXPECT_EQ(gauge->GetMin(), 99);
    gauge->SetMin(0);
    gauge->SetMax(-5);
    EXPECT_EQ(gauge->GetMax(), 1);
    gauge->SetMax(100);
    gauge->SetSmallChange(0);
    EXPECT_EQ(gauge->GetSmallChange(), 1);
    gauge->SetLargeChange(-4);
    EXPECT_EQ(gauge->GetLargeChange(), 1);
    gauge->SetHandleSize(-3);
    EXPECT_EQ(gauge->GetHandleSize(), 0);
    gauge->SetPosition(250);
    EXPECT_EQ(gauge->GetPosition(), 100);
    gauge->SetMax(60);
    EXPECT_EQ(gauge->GetPosition(), 60);

    // Track of 100 between 16-pixel buttons, handle as thick as the bar (16).
    EXPECT_EQ(gauge->EffectiveHandleSize(), 16);
    gauge->SetPosition(30);  // offset Round(84 * 30 / 60)
    EXPECT_EQ(gauge->GetHandleRect(), (TRect{16 + 42, 0, 16 + 58, 16}));
    gauge->SetHandleSize(500);  // at most the track less one
    EXPECT_EQ(gauge->EffectiveHandleSize(), 99);

    gauge->SetHandleSize(10);
    gauge->SetSmallChange(3);
    gauge->SetLargeChange(20);
    form->Show();
    log.clear();
    Down(120, 8);  // the next button
    EXPECT_EQ(gauge->GetPosition(), 33);
    host.Advance(700);
    EXPECT_EQ(gauge->GetPosition(), 39);
    Up(120, 8);
    Down(20, 8);  // the track before the handle: a large change back
    EXPECT_EQ(gauge->GetPosition(), 19);
    Up(20, 8);
    host.Wheel(*form, 60, 18, 240);
    EXPECT_EQ(gauge->GetPosition(), 25);
    host.Wheel(*form, 60, 18, -60);  // 3 * -60 div 120 truncates to -1
    EXPECT_EQ(gauge->GetPosition(), 24);

    // Dragging: the handle's travel is the track less the handle (90).
    int32_t handleLeft = gauge->GetHandleRect().Left;
    Down(handleLeft + 2, 8);
    Move(handleLeft + 2 + 45, 8);  // half the travel: half the span
    EXPECT_EQ(gauge->GetPosition(), 54);
    Up(handleLeft + 2 + 45, 8);
}

TEST_F(RangeBars, GaugeWithoutSpanOrTravelDoesNotDivideByZero) {
    TGaugeBar* gauge = AddBar<TGaugeBar>(132, 16);
    gauge->Loading();
    gauge->SetMin(10);
    gauge->SetMax(10);  // while loading the limits are taken as they come
    static_cast<TComponent*>(gauge)->Loaded();
    EXPECT_EQ(gauge->GetMax(), 10);
    EXPECT_EQ(gauge->GetPosition(), 10);
    EXPECT_EQ(gauge->GetHandleRect(), (TRect{16, 0, 32, 16}));
    form->Show();
    Down(20, 8);
    Move(60, 8);
    EXPECT_EQ(gauge->GetPosition(), 10);
    Up(60, 8);

    gauge->SetMax(50);
    gauge->SetHandleSize(99);
    gauge->SetWidth(32 + 99);  // the handle at most the track less one: one pixel of travel
    EXPECT_EQ(gauge->EffectiveHandleSize(), 98);
    gauge->SetWidth(32 + 1);  // a one-pixel track: no handle at all
    EXPECT_EQ(gauge->EffectiveHandleSize(), 0);
    EXPECT_TRUE(IsRectEmpty(gauge->GetHandleRect()));
}

TEST_F(RangeBars, RangeBarWithoutRangeOrTrackDoesNotDivideByZero) {
    TRangeBar* bar = AddRangeBar(0, 100);
    form->Show();
    Down(100, 8);  // the handle fills the track
    EXPECT_EQ(bar->GetDragZone(), zHandle);
    Move(150, 8);
    Up(150, 8);
    EXPECT_EQ(bar->GetPosition(), 0);
}

TEST_F(RangeBars, ClassicPixels) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    bar->SetBorderStyle(bsSingle);
    bar->SetBounds(10, 10, 334, 18);  // the same client area inside a border
    form->Show();
    // The sunken border: shadow on the top and left, highlight on the
    // bottom and right.
    EXPECT_EQ(Pixel(0, 5), Shown(clBtnShadow));
    EXPECT_EQ(Pixel(100, 0), Shown(clBtnShadow));
    EXPECT_EQ(Pixel(100, 17), Shown(clBtnHighlight));
    EXPECT_EQ(Pixel(333, 5), Shown(clBtnHighlight));
    // The track after the handle (client 46 .. 315): a checker of the
    // highlight and the bar's colour, (x + y) even taking the highlight.
    for (int y = 0; y < 16; ++y)
        for (int x = 100; x < 104; ++x)
            EXPECT_EQ(Pixel(1 + x, 1 + y), Shown((x + y) % 2 == 0 ? clBtnHighlight : clScrollBar)) << x << "," << y;
    // The raised handle's face.
    EXPECT_EQ(Pixel(1 + 30, 1 + 8), Shown(clBtnFace));

    // The track held down is dark.
    Down(1 + 200, 1 + 8);
    EXPECT_EQ(bar->GetDragZone(), zTrackNext);
    EXPECT_EQ(Pixel(1 + 300, 1 + 8), Shown(clWindowFrame));
    Up(1 + 200, 1 + 8);
    // Only the track held is: the one before the handle as the one after.
    bar->SetPosition(450);  // the handle at 151 .. 180, then a window back
    Down(1 + 100, 1 + 8);
    EXPECT_EQ(bar->GetDragZone(), zTrackPrev);
    EXPECT_EQ(Pixel(1 + 20, 1 + 8), Shown(clWindowFrame));
    EXPECT_NE(Pixel(1 + 300, 1 + 8), Shown(clWindowFrame));
    Up(1 + 100, 1 + 8);
    // A held button is sunken and flat: shadow at its top left, highlight at
    // its bottom right; one the pointer is only over is not.
    Move(1 + 320, 1 + 8);
    EXPECT_NE(Pixel(1 + 316, 1 + 0), Shown(clBtnShadow));
    Down(1 + 320, 1 + 8);
    EXPECT_EQ(Pixel(1 + 316, 1 + 0), Shown(clBtnShadow));
    EXPECT_EQ(Pixel(1 + 331, 1 + 15), Shown(clBtnHighlight));
    Up(1 + 320, 1 + 8);

    // One colour where the bar's colour is the highlight.
    bar->SetColor(clBtnHighlight);
    EXPECT_EQ(Pixel(1 + 300, 1 + 8), Shown(clBtnHighlight));
    EXPECT_EQ(Pixel(1 + 301, 1 + 8), Shown(clBtnHighlight));
}

TEST_F(RangeBars, FlatLookPixels) {
    TRangeBar* bar = AddBar<TRangeBar>(100, 16);
    bar->SetStyle(rbsMac);
    bar->SetRange(1000);
    bar->SetWindow(100);
    form->Show();
    // Buttons of 15, a 70-pixel track; the handle keeps 17 pixels: 15 .. 31.
    ASSERT_EQ(bar->GetHandleRect(), (TRect{15, 0, 32, 16}));
    TColor border = clWindowFrame, light = clBtnHighlight, colour = clScrollBar, handle = clBtnShadow;
    // Track after the handle: edges on the top, right and bottom, an inner
    // shadow along the top, then the checker.
    EXPECT_EQ(Pixel(40, 0), Shown(border));
    EXPECT_EQ(Pixel(84, 7), Shown(border));
    EXPECT_EQ(Pixel(40, 15), Shown(border));
    EXPECT_EQ(Pixel(40, 1), Shown(Mix(border, Mix(light, colour, 127), 32)));
    EXPECT_EQ(Pixel(40, 2), Shown(light));
    EXPECT_EQ(Pixel(41, 2), Shown(colour));
    EXPECT_EQ(Pixel(32, 2), Shown(light));  // no shadow on the side by the handle
    // The handle: a frame, a light bevel on the top and left, a mixed one on
    // the bottom and right, its colour inside and four grips of a light
    // and a dark line from its middle.
    EXPECT_EQ(Pixel(15, 0), Shown(border));
    EXPECT_EQ(Pixel(31, 8), Shown(border));
    EXPECT_EQ(Pixel(20, 1), Shown(Shade(handle, 24)));
    EXPECT_EQ(Pixel(16, 8), Shown(Shade(handle, 24)));
    EXPECT_EQ(Pixel(30, 8), Shown(Mix(border, handle, 96)));
    EXPECT_EQ(Pixel(20, 14), Shown(Mix(border, handle, 96)));
    EXPECT_EQ(Pixel(18, 8), Shown(Shade(handle, 24)));
    EXPECT_EQ(Pixel(19, 8), Shown(Shade(handle, -24)));
    EXPECT_EQ(Pixel(20, 8), Shown(handle));
    EXPECT_EQ(Pixel(27, 8), Shown(Shade(handle, 24)));
    EXPECT_EQ(Pixel(28, 8), Shown(Shade(handle, -24)));
    EXPECT_EQ(Pixel(20, 3), Shown(handle));
    // The first button: edges left, top and bottom in the border colour.
    EXPECT_EQ(Pixel(0, 8), Shown(border));
    EXPECT_EQ(Pixel(7, 0), Shown(border));
    EXPECT_EQ(Pixel(7, 15), Shown(border));

    // A bar that cannot move draws its tracks disabled: shadow-coloured
    // edges and a button-coloured fill.
    bar->SetRange(10);
    EXPECT_EQ(Pixel(40, 0), Shown(clBtnShadow));
    EXPECT_EQ(Pixel(40, 5), Shown(clBtnFace));
    bar->SetRange(1000);
    bar->SetBackgnd(bgSolid);
    EXPECT_EQ(Pixel(40, 2), Shown(colour));
    EXPECT_EQ(Pixel(41, 2), Shown(colour));
}

// Held down, the flat look sinks: the button's arrow moves a pixel right and
// down, the handle's bevel turns dark with its grips a pixel on, the track
// fills with the border colour.
TEST_F(RangeBars, FlatLookHeldDown) {
    TRangeBar* bar = AddBar<TRangeBar>(100, 16);
    bar->SetStyle(rbsMac);
    bar->SetRange(1000);
    bar->SetWindow(100);
    form->Show();
    const TColor32 border = Shown(clWindowFrame), handle = Shown(clBtnShadow);
    auto arrow = [&] {  // the border-coloured pixels inside the next button
        thorn::test::Points points;
        for (int y = 2; y < 14; ++y)
            for (int x = 87; x < 99; ++x)
                if (Pixel(x, y) == border) points.insert({x, y});
        return points;
    };
    const thorn::test::Points shown = arrow();
    ASSERT_FALSE(shown.empty());
    Down(92, 8);
    thorn::test::Points moved;
    for (auto [x, y] : shown) moved.insert({x + 1, y + 1});
    EXPECT_EQ(arrow(), moved);
    EXPECT_EQ(Pixel(86, 2), Shown(clBtnFace));  // no raised bevel
    Up(92, 8);

    bar->SetPosition(0);
    Move(20, 8);  // only over the handle: it stays raised
    EXPECT_EQ(Pixel(20, 1), Shown(Shade(clBtnShadow, 24)));
    Down(20, 8);  // the handle, 15 .. 31
    EXPECT_EQ(Pixel(20, 1), Shown(Shade(clBtnShadow, -24)));
    EXPECT_EQ(Pixel(16, 8), Shown(Shade(clBtnShadow, -24)));
    EXPECT_EQ(Pixel(30, 8), handle);
    EXPECT_EQ(Pixel(19, 8), Shown(Shade(clBtnShadow, 24)));
    EXPECT_EQ(Pixel(20, 8), Shown(Shade(clBtnShadow, -24)));
    Up(20, 8);

    Down(60, 8);  // the track after the handle
    EXPECT_EQ(Pixel(60, 8), border);
    EXPECT_EQ(Pixel(61, 8), border);
    Up(60, 8);
}

// A button the pointer is only over looks as it does without it; held, its
// arrow moves a pixel right and down; let go, it looks as before. Each arrow
// points away from the track, and a bar that cannot move greys them.
TEST_F(RangeBars, ButtonsHoveredHeldAndLetGo) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    bar->SetPosition(450);
    form->Show();
    struct Case {
        const char* what;
        TRBStyle style;
        TRBZone button;
        TColor arrow;
    };
    for (const Case& c : {Case{"classic, first", rbsDefault, zBtnPrev, clBtnText},
                          {"classic, last", rbsDefault, zBtnNext, clBtnText},
                          {"flat, first", rbsMac, zBtnPrev, clWindowFrame},
                          {"flat, last", rbsMac, zBtnNext, clWindowFrame}}) {
        SCOPED_TRACE(c.what);
        bar->SetStyle(c.style);
        host.MouseMove(*form, 200, 150);
        const TRect button = bar->GetZoneRect(c.button);
        TRect inner = button;
        InflateRect(inner, -2, -2);
        const std::vector<TColor32> shown = PixelsIn(button);
        const thorn::test::Points arrow = PixelsOf(inner, c.arrow);
        ASSERT_FALSE(arrow.empty());
        // The column at the tip holds fewer of the arrow's pixels than the
        // one at its base.
        auto column = [&](int x) { return std::count_if(arrow.begin(), arrow.end(), [x](auto p) { return p.first == x; }); };
        const int left = arrow.begin()->first, right = arrow.rbegin()->first;
        if (c.button == zBtnPrev)
            EXPECT_LT(column(left), column(right)) << "points left";
        else
            EXPECT_GT(column(left), column(right)) << "points right";

        const int x = (button.Left + button.Right) / 2;
        Move(x, 8);
        EXPECT_EQ(PixelsIn(button), shown) << "under the pointer";
        Down(x, 8);
        thorn::test::Points moved;
        for (auto [px, py] : arrow) moved.insert({px + 1, py + 1});
        TRect sunk = inner;
        OffsetRect(sunk, 1, 1);
        EXPECT_EQ(PixelsOf(sunk, c.arrow), moved) << "held";
        Up(x, 8);
        EXPECT_EQ(PixelsIn(button), shown) << "let go";
    }
    bar->SetStyle(rbsDefault);
    bar->SetRange(10);
    TRect inner = bar->GetZoneRect(zBtnPrev);
    InflateRect(inner, -2, -2);
    EXPECT_EQ(PixelsOf(inner, clBtnText), thorn::test::Points{});
    EXPECT_NE(PixelsOf(inner, clBtnShadow), thorn::test::Points{});
}

// The flat look's buttons: edges on every side but the one towards the
// track, in the border colour, or the shadow colour on a bar that cannot
// move; inside them a raised bevel, none on a bar that cannot move; and the
// arrow, the filled triangle the place inside the edges gives: centred, a
// half-size of three quarters of the half side less one, the centre moved
// towards the base by a third; in the border colour, or in the shadow colour
// over a highlight copy a pixel right and down.
TEST_F(RangeBars, FlatButtonsAndTheirArrows) {
    auto triangle = [](const TRect& r, TRBDirection direction) {
        int cx = (r.Left + r.Right - 1) / 2, cy = (r.Top + r.Bottom - 1) / 2;
        const int s = std::max(std::min(cx - r.Left, cy - r.Top) * 3 / 4 - 1, 1);
        thorn::test::Points points;
        for (int i = 0; i <= s; ++i)  // i: the distance from the tip
            for (int j = -i; j <= i; ++j) switch (direction) {
                case drLeft: points.insert({cx + (s + 1) / 3 - s + i, cy + j}); break;
                case drRight: points.insert({cx - s / 3 + s - i, cy + j}); break;
                case drUp: points.insert({cx + j, cy + (s + 1) / 3 - s + i}); break;
                case drDown: points.insert({cx + j, cy - s / 3 + s - i}); break;
            }
        return points;
    };
    // The place of a button inside its edges.
    auto inside = [](TRect r, TRBDirection direction) {
        if (direction != drRight) ++r.Left;
        if (direction != drDown) ++r.Top;
        if (direction != drLeft) --r.Right;
        if (direction != drUp) --r.Bottom;
        return r;
    };
    TRangeBar* bar = AddBar<TRangeBar>(100, 16);
    bar->SetStyle(rbsMac);
    bar->SetWindow(100);
    form->Show();
    for (const int thickness : {16, 20})
        for (const TScrollBarKind kind : {sbHorizontal, sbVertical}) {
            const bool horz = kind == sbHorizontal;
            bar->SetKind(kind);
            bar->SetBounds(10, 10, horz ? 100 : thickness, horz ? thickness : 100);
            for (const bool enabled : {true, false}) {
                bar->SetRange(enabled ? 1000 : 10);
                for (const TRBZone zone : {zBtnPrev, zBtnNext}) {
                    const TRBDirection direction =
                        zone == zBtnPrev ? (horz ? drLeft : drUp) : (horz ? drRight : drDown);
                    SCOPED_TRACE(std::to_string(thickness) + " thick, direction " + std::to_string(direction) +
                                 (enabled ? "" : ", cannot move"));
                    const TRect button = bar->GetZoneRect(zone), r = inside(button, direction);
                    const TPoint outer = horz ? TPoint{zone == zBtnPrev ? button.Left : button.Right - 1, 8}
                                              : TPoint{8, zone == zBtnPrev ? button.Top : button.Bottom - 1};
                    EXPECT_EQ(Pixel(outer.X, outer.Y), Shown(enabled ? clWindowFrame : clBtnShadow)) << "edge";
                    EXPECT_EQ(Pixel(r.Left + 2, r.Top), Shown(enabled ? clBtnHighlight : clBtnFace)) << "bevel";
                    EXPECT_EQ(Pixel(r.Left + 2, r.Bottom - 1), Shown(enabled ? clBtnShadow : clBtnFace)) << "bevel";
                    const thorn::test::Points arrow = triangle(r, direction);
                    if (enabled) {
                        EXPECT_EQ(PixelsOf(r, clWindowFrame), arrow);
                        continue;
                    }
                    TRect shifted = r;
                    OffsetRect(shifted, 1, 1);
                    thorn::test::Points raised = triangle(shifted, direction);
                    for (auto p : arrow) raised.erase(p);
                    EXPECT_EQ(PixelsOf(r, clBtnShadow), arrow);
                    EXPECT_EQ(PixelsOf(r, clBtnHighlight), raised);
                }
            }
        }
}

// Upright, a bar looks as it does across, turned over its diagonal.
TEST_F(RangeBars, AnUprightBarIsABarAcrossTurned) {
    constexpr int kLength = 180;
    TRangeBar* bar = AddBar<TRangeBar>(kLength, 16);
    bar->SetRange(1000);
    bar->SetWindow(100);
    bar->SetPosition(450);
    form->Show();
    for (const TRBStyle style : {rbsDefault, rbsMac}) {
        SCOPED_TRACE(style == rbsMac ? "flat" : "classic");
        bar->SetStyle(style);
        bar->SetKind(sbHorizontal);
        bar->SetBounds(10, 10, kLength, 16);
        const std::vector<TColor32> across = PixelsIn({0, 0, kLength, 16});
        bar->SetKind(sbVertical);
        bar->SetBounds(10, 10, 16, kLength);
        thorn::test::Points differ;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < kLength; ++x)
                if (Pixel(y, x) != across[static_cast<size_t>(y * kLength + x)]) differ.insert({x, y});
        EXPECT_EQ(differ, thorn::test::Points{});
    }
}

// The tracks reach the buttons: their first and last pixels are painted as
// the track, the buttons' first rows as the buttons.
TEST_F(RangeBars, TracksReachTheButtons) {
    TRangeBar* bar = AddRangeBar(1000, 100);
    bar->SetPosition(450);  // tracks 16 .. 150 and 181 .. 315
    form->Show();
    for (int x : {16, 315})
        for (int y = 0; y < 16; ++y)
            EXPECT_EQ(Pixel(x, y), Shown((x + y) % 2 == 0 ? clBtnHighlight : clScrollBar)) << x << "," << y;
    bar->SetStyle(rbsMac);  // buttons of 15: the tracks' outer edges
    EXPECT_EQ(Pixel(15, 8), Shown(clWindowFrame));
    EXPECT_EQ(Pixel(316, 8), Shown(clWindowFrame));

    bar->SetStyle(rbsDefault);
    bar->SetKind(sbVertical);
    bar->SetBounds(10, 10, 16, 180);  // buttons 0 .. 15 and 164 .. 179
    for (int y : {16, 163})
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(Pixel(x, y), Shown((x + y) % 2 == 0 ? clBtnHighlight : clScrollBar)) << x << "," << y;
    EXPECT_EQ(PixelsIn({0, 164, 16, 165}), PixelsIn({0, 0, 16, 1})) << "the last button's top row";
}

TEST_F(RangeBars, AccessForwardsToBothBars) {
    TRangeBar* a = AddBar<TRangeBar>(100, 16);
    TRangeBar* b = AddBar<TRangeBar>(100, 16);
    TArrowBarAccess access;
    EXPECT_EQ(access.GetStyle(), rbsDefault);
    access.Master = a;
    access.SetHandleColor(clRed);
    EXPECT_EQ(a->GetHandleColor(), clRed);
    EXPECT_EQ(b->GetHandleColor(), clBtnShadow);
    access.Slave = b;
    access.SetStyle(rbsMac);
    access.SetButtonSize(7);
    access.SetColor(clLime);
    EXPECT_EQ(b->GetStyle(), rbsMac);
    EXPECT_EQ(b->ButtonSize(), 7);
    EXPECT_EQ(b->GetColor(), clLime);
    b->SetShowArrows(false);
    EXPECT_TRUE(access.GetShowArrows());  // read from the master
}

}  // namespace
