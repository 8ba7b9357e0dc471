#include <gtest/gtest.h>

#include "SdlSession.h"
#include "XScreen.h"
#include "bitmapui/Pix32_RangeBars.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "support/Pixels.h"
#include "support/PngFile.h"

// Runs under Xvfb: the scrolling view's range bars in a real window, in the
// classic look and the flat one, across and upright, movable and not. The
// screenshot is saved as "range_bars.png" in the working folder.
namespace {

using thorn::test::Shown;

class SdlRangeBars : public thorn::test::SdlSession {
protected:
    TRangeBar* Add(TRect bounds, TRBStyle style, int32_t range) {
        TRangeBar* bar = thorn::Make<TRangeBar>(*form);
        bar->SetBorderStyle(bsNone);
        bar->SetStyle(style);
        if (bounds.Height() > bounds.Width()) bar->SetKind(sbVertical);
        bar->SetBoundsRect(bounds);
        bar->SetParent(form);
        bar->SetRange(range);
        bar->SetWindow(100);
        bar->SetPosition(300);
        return bar;
    }
    thorn::test::XScreen screen;
    TForm* form = Application->CreateForm<TForm>();
};

TEST_F(SdlRangeBars, TheArrowsAreWholeInARealWindow) {
    ASSERT_TRUE(screen.Ok());
    form->SetCaption("Range bars");
    form->SetBounds(40, 40, 260, 200);
    Add({8, 8, 208, 24}, rbsDefault, 1000);
    TRangeBar* flat = Add({8, 32, 208, 48}, rbsMac, 1000);
    Add({8, 56, 208, 72}, rbsMac, 10);
    TRangeBar* upright = Add({220, 8, 236, 168}, rbsMac, 1000);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return form->GetHostWindow() && !form->HasPendingPaint(); }));
    TBitmap32 shot;
    ASSERT_TRUE(RunUntil([&] {
        form->GetHostWindow()->ReadPixels(shot);
        return shot.Width() == 260 && shot.GetPixel(1, 100) == Shown(clBtnFace);
    }));
    thorn::test::WritePng("range_bars.png", shot);

    // The flat arrows of the last buttons are filled triangles, whole inside
    // too: the one across with its tip at (193, 7), the upright one with its
    // tip at (7, 153).
    for (auto [bar, inside] : {std::pair{flat, TPoint{191, 7}}, {flat, TPoint{192, 7}}, {flat, TPoint{191, 8}},
                               {upright, TPoint{7, 151}}, {upright, TPoint{7, 152}}, {upright, TPoint{8, 151}}}) {
        const TPoint at = bar->ClientToParent(inside, form);
        EXPECT_EQ(shot.GetPixel(at.X, at.Y), Shown(clWindowFrame)) << inside.X << "," << inside.Y;
    }
}

}  // namespace
