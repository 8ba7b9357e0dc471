// The scrolling image view on the headless host: bar layout and ranges,
// the picture's place when centred, scrolled and with a margin, the user's
// scrolling through the bars, and the size grip.
#include <gtest/gtest.h>

#include <optional>

#include "bitmapui/Pix32_ImageView.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"
#include "support/Pixels.h"

namespace {

using thorn::test::Shown;

class ImgView : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TImgView32* view = nullptr;
    int scrolls = 0;

    void SetUp() override {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 400, 300);
        view = thorn::Make<TImgView32>(*form);
        view->SetParent(form);
        view->SetBounds(0, 0, 200, 150);
        view->OnScroll = [this](TObject*) { ++scrolls; };
    }

    void Picture(int w, int h, TColor32 colour = 0xFF336699u) {
        view->GetBitmap()->SetSize(w, h);
        view->GetBitmap()->Clear(colour);
    }

    TColor32 Pixel(int x, int y) const {
        Application->ProcessMessages();
        return host.PixelAt(*form, x, y);
    }
};

TEST_F(ImgView, BarsAroundTheViewport) {
    EXPECT_EQ(view->GetScrollBarSize(), 16);
    EXPECT_EQ(view->GetViewportRect(), (TRect{0, 0, 184, 134}));
    EXPECT_EQ(view->GetHScroll()->GetBoundsRect(), (TRect{0, 134, 184, 150}));
    EXPECT_EQ(view->GetVScroll()->GetBoundsRect(), (TRect{184, 0, 200, 134}));
    EXPECT_EQ(view->GetVScroll()->GetKind(), sbVertical);
    EXPECT_EQ(view->GetScaleMode(), smScale);
    EXPECT_EQ(view->GetBitmapAlign(), baCustom);

    view->GetScrollBars()->SetSize(30);
    EXPECT_EQ(view->GetViewportRect(), (TRect{0, 0, 170, 120}));
    EXPECT_EQ(view->GetHScroll()->GetBoundsRect(), (TRect{0, 120, 170, 150}));
    EXPECT_EQ(view->GetVScroll()->GetBoundsRect(), (TRect{170, 0, 200, 120}));
    view->GetScrollBars()->SetSize(0);
    EXPECT_EQ(view->GetHScroll()->GetHeight(), 16);

    view->GetBitmap()->SetSize(50, 40);  // a centred picture follows the viewport's size
    EXPECT_EQ(view->GetOffsetHorz(), 67);
    view->GetScrollBars()->SetSize(30);
    EXPECT_EQ(view->GetOffsetHorz(), 60);
    view->GetScrollBars()->SetSize(0);

    view->SetBounds(0, 0, 300, 200);  // resizing lays the bars out again
    EXPECT_EQ(view->GetVScroll()->GetBoundsRect(), (TRect{284, 0, 300, 184}));
}

TEST_F(ImgView, SmallPictureStaysCentred) {
    form->Show();
    Picture(50, 40);
    EXPECT_EQ(view->GetHScroll()->GetRange(), 50);
    EXPECT_EQ(view->GetBitmapRect(), (TRect{67, 47, 117, 87}));  // (184 - 50) / 2, (134 - 40) / 2
    view->Scroll(30, 30);
    EXPECT_EQ(view->GetBitmapRect(), (TRect{67, 47, 117, 87}));
    EXPECT_EQ(Pixel(67, 47), 0xFF336699u);
    EXPECT_EQ(Pixel(116, 86), 0xFF336699u);
    EXPECT_NE(Pixel(66, 47), 0xFF336699u);

    view->SetScale(3);  // 150 x 120 still fits
    EXPECT_EQ(view->GetBitmapRect(), (TRect{17, 7, 167, 127}));
    view->SetScale(0.5f);  // odd margins: (184 - 25) / 2 = 79.5 rounds to even
    EXPECT_EQ(view->GetBitmapRect().Left, 80);
}

TEST_F(ImgView, MarginAroundTheScaledPicture) {
    view->SetCentered(false);
    Picture(300, 200);
    view->SetScale(2);
    view->SetOverSize(10);
    EXPECT_EQ(view->GetHScroll()->GetRange(), 640);  // 600 + 2 * 10 * 2
    EXPECT_EQ(view->GetVScroll()->GetRange(), 440);
    EXPECT_EQ(view->GetBitmapRect(), (TRect{20, 20, 620, 420}));
    view->Scroll(50, 30);
    EXPECT_EQ(view->GetHScroll()->GetPosition(), 50);
    EXPECT_EQ(view->GetBitmapRect(), (TRect{-30, -10, 570, 390}));
    EXPECT_EQ(scrolls, 0);  // the view's own moves are not the user's
}

TEST_F(ImgView, ScrollToCenterBringsAPointToTheMiddle) {
    Picture(400, 300);
    view->ScrollToCenter(200, 150);
    EXPECT_EQ(view->GetHScroll()->GetPosition(), 108);  // 200 - 184 / 2
    EXPECT_EQ(view->GetVScroll()->GetPosition(), 83);   // 150 - 134 / 2
    EXPECT_EQ(view->ControlToBitmap({92, 67}), (TPoint{200, 150}));

    view->SetCentered(false);  // back to the top-left corner
    EXPECT_EQ(view->GetBitmapRect(), (TRect{0, 0, 400, 300}));
    view->SetCentered(true);  // a new picture size centres it
    Picture(600, 500);
    EXPECT_EQ(view->GetHScroll()->GetPosition(), 300 - 92);
}

// With a margin around the picture, the point asked for lands in the middle
// of the 184 x 134 viewport, and so does the middle of a picture that the
// view centres itself: one smaller than the viewport, but not with its
// margin, is centred within the margin.
TEST_F(ImgView, ScrollToCenterWithAMargin) {
    struct Case {
        const char* name;
        int width, height;
        float scale;
        std::optional<TPoint> point;  // none: the view centres the picture
        TPoint middle;
    };
    const Case cases[] = {
        {"400 x 300", 400, 300, 1, TPoint{200, 150}, {200, 150}},
        {"400 x 300 at scale 2", 400, 300, 2, TPoint{250, 180}, {250, 180}},
        {"170 x 120, centred by the view", 170, 120, 1, std::nullopt, {85, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* v = thorn::Make<TImgView32>(*form);
        v->SetParent(form);
        v->SetBounds(0, 0, 200, 150);
        v->SetScale(c.scale);
        v->SetOverSize(10);
        v->GetBitmap()->SetSize(c.width, c.height);
        if (c.point) v->ScrollToCenter(c.point->X, c.point->Y);
        EXPECT_EQ(v->ControlToBitmap({92, 67}), c.middle);
        thorn::Free(v);
    }
}

TEST_F(ImgView, UserScrollsThroughTheBars) {
    view->SetCentered(false);
    TBitmap32* bitmap = view->GetBitmap();
    bitmap->SetSize(400, 300);
    bitmap->FillRect(0, 0, 200, 300, 0xFFFF0000u);
    bitmap->FillRect(200, 0, 400, 300, 0xFF0000FFu);
    form->Show();
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);

    // The horizontal bar's next button (form 168 .. 183, 134 .. 149).
    host.MouseMove(*form, 176, 142);
    host.MouseDown(*form, 176, 142);
    EXPECT_EQ(view->GetHScroll()->GetPosition(), 8);
    EXPECT_EQ(view->GetOffsetHorz(), -8);
    EXPECT_EQ(scrolls, 1);
    host.Advance(600);
    EXPECT_EQ(view->GetOffsetHorz(), -16);
    EXPECT_EQ(scrolls, 2);
    host.MouseUp(*form, 176, 142);

    view->GetScrollBars()->SetIncrement(20);
    EXPECT_EQ(view->GetVScroll()->GetIncrement(), 20);
    EXPECT_EQ(view->GetScrollBars()->GetIncrement(), 20);
    host.Wheel(*form, 190, 50, 120);  // over the vertical bar: one increment on
    EXPECT_EQ(view->GetOffsetVert(), -20);
    EXPECT_EQ(scrolls, 3);

    view->Scroll(250 - 16, 0);
    EXPECT_EQ(Pixel(10, 10), 0xFF0000FFu);  // bitmap column 260
    EXPECT_EQ(scrolls, 3);
}

TEST_F(ImgView, SizeGrip) {
    form->Show();
    view->SetSizeGrip(sgNone);
    EXPECT_FALSE(view->IsSizeGripVisible());
    EXPECT_EQ(view->GetSizeGripRect(), (TRect{184, 134, 200, 150}));
    EXPECT_EQ(Pixel(190, 140), Shown(clBtnFace));
    view->SetSizeGrip(sgAlways);
    EXPECT_TRUE(view->IsSizeGripVisible());
    view->SetSizeGrip(sgAuto);  // only where the view fills its form
    EXPECT_FALSE(view->IsSizeGripVisible());
    view->SetAlign(alClient);
    EXPECT_TRUE(view->IsSizeGripVisible());
    ASSERT_EQ(view->GetWidth(), 400);

    // Pulling the grip resizes the form.
    host.MouseMove(*form, 390, 290);
    EXPECT_EQ(Screen->GetCursor(), crSizeNWSE);
    host.MouseDown(*form, 390, 290);
    host.MouseMove(*form, 420, 310);
    host.MouseUp(*form, 420, 310);
    EXPECT_EQ(form->GetWidth(), 430);
    EXPECT_EQ(form->GetHeight(), 320);
    EXPECT_EQ(view->GetWidth(), 430);
    EXPECT_EQ(view->GetHScroll()->GetWidth(), 414);
    host.MouseMove(*form, 100, 100);
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

}  // namespace
