// The rubberband layer in an image control on the headless host: its
// zones, moving and resizing by the mouse within the size limits, the
// child layer that follows it, and its frame and handles in pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "bitmapui/Pix32_Image.h"
#include "bitmapui/Pix32_LayersRubberband.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/headless/HeadlessHost.h"

namespace {

constexpr TColor32 Grey = 0xFF808080u;

class Rubberband : public ::testing::Test {
protected:
    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TImage32* image = nullptr;
    TRubberbandLayer* band = nullptr;
    int userChanges = 0;

    void SetUp() override {
        form = Application->CreateForm<TForm>();
        form->SetBounds(100, 100, 300, 300);
        image = thorn::Make<TImage32>(*form);
        image->SetParent(form);
        image->SetBounds(0, 0, 200, 200);
        image->GetBitmap()->SetSize(200, 200);
        image->GetBitmap()->Clear(Grey);
        band = image->GetLayers()->Add<TRubberbandLayer>();
        band->SetLocation({50, 50, 100, 90});
        band->OnUserChange = [this](TObject*) { ++userChanges; };
        form->Show();
    }

    void Drag(TPoint from, TPoint to) {
        host.MouseMove(*form, from.X, from.Y);
        host.MouseDown(*form, from.X, from.Y);
        host.MouseMove(*form, to.X, to.Y);
        host.MouseUp(*form, to.X, to.Y);
    }

    TColor32 Pixel(int x, int y) const {
        Application->ProcessMessages();
        return host.PixelAt(*form, x, y);
    }
};

TEST_F(Rubberband, HandlesAreAtLeastOnePixel) {
    band->SetHandleSize(0);
    EXPECT_EQ(band->GetHandleSize(), 1);
}

TEST_F(Rubberband, ZonesOfFrameAndHandles) {
    // The frame runs through (50, 50) .. (99, 89); handles answer within 4.
    EXPECT_EQ(band->GetDragState(99, 89), dsSizeBR);
    EXPECT_EQ(band->GetDragState(50, 89), dsSizeBL);
    EXPECT_EQ(band->GetDragState(99, 50), dsSizeTR);
    EXPECT_EQ(band->GetDragState(46, 46), dsSizeTL);
    EXPECT_EQ(band->GetDragState(103, 69), dsSizeR);
    EXPECT_EQ(band->GetDragState(74, 93), dsSizeB);
    EXPECT_EQ(band->GetDragState(50, 72), dsSizeL);
    EXPECT_EQ(band->GetDragState(71, 50), dsSizeT);
    EXPECT_EQ(band->GetDragState(70, 70), dsMove);
    EXPECT_EQ(band->GetDragState(99, 80), dsMove);  // the edge away from its handles moves
    EXPECT_EQ(band->GetDragState(104, 69), dsNone);
    EXPECT_EQ(band->GetDragState(30, 30), dsNone);

    // Without corner handles a press at a corner inside the frame moves it.
    band->SetHandles({rhCenter, rhSides, rhFrame});
    EXPECT_EQ(band->GetDragState(51, 51), dsMove);
    EXPECT_EQ(band->GetDragState(47, 47), dsNone);
    band->SetHandles({rhSides});
    EXPECT_EQ(band->GetDragState(70, 70), dsNone);
    EXPECT_EQ(band->GetDragState(99, 69), dsSizeR);
}

TEST_F(Rubberband, MovedByItsInside) {
    Drag({70, 70}, {80, 75});
    EXPECT_EQ(band->GetLocation(), (TFloatRect{60, 55, 110, 95}));
    EXPECT_EQ(userChanges, 1);
    EXPECT_FALSE(band->IsDragging());
    // Outside it, a press finds no layer and moves nothing.
    Drag({150, 20}, {160, 30});
    EXPECT_EQ(band->GetLocation(), (TFloatRect{60, 55, 110, 95}));
    EXPECT_EQ(userChanges, 1);
}

TEST_F(Rubberband, ResizedByEdgesAndCornersWithinLimits) {
    Drag({99, 69}, {130, 69});
    EXPECT_EQ(band->GetLocation(), (TFloatRect{50, 50, 130, 90}));
    Drag({50, 69}, {200, 69});  // the left edge past the right one stops 10 short of it
    EXPECT_EQ(band->GetLocation(), (TFloatRect{120, 50, 130, 90}));
    Drag({125, 89}, {125, 40});  // the bottom corner: right edge kept at the minimum, bottom past the top
    EXPECT_EQ(band->GetLocation(), (TFloatRect{120, 50, 130, 60}));

    band->SetLocation({50, 50, 100, 90});
    band->SetMaxWidth(60);
    band->SetMaxHeight(45);
    Drag({99, 89}, {180, 190});  // the corner: both edges, held to the maximum
    EXPECT_EQ(band->GetLocation(), (TFloatRect{50, 50, 110, 95}));
    Drag({50, 50}, {0, 20});  // the top-left corner, from the far edges
    EXPECT_EQ(band->GetLocation(), (TFloatRect{50, 50, 110, 95}));  // 110 - 60 and 95 - 45
    band->SetMaxWidth(0);  // below the minimum: no upper limit
    Drag({109, 72}, {190, 72});
    EXPECT_EQ(band->GetLocation(), (TFloatRect{50, 50, 190, 95}));
    EXPECT_EQ(userChanges, 5);
}

TEST_F(Rubberband, ResizingEventMayChangeTheRectangle) {
    TDragState seen = dsNone;
    band->OnResizing = [&](TObject*, const TFloatRect& old, TFloatRect& next, TDragState state, TShiftState) {
        seen = state;
        EXPECT_EQ(old, (TFloatRect{50, 50, 100, 90}));
        next.Right = std::floor(next.Right / 10) * 10;  // snap to tens
    };
    Drag({99, 69}, {127, 69});
    EXPECT_EQ(seen, dsSizeR);
    EXPECT_EQ(band->GetLocation(), (TFloatRect{50, 50, 120, 90}));
}

TEST_F(Rubberband, ScaledLocationIsDraggedInBitmapPixels) {
    image->SetScaleMode(smScale);
    image->SetScale(2);
    band->SetScaled(true);
    band->SetLocation({20, 20, 50, 40});  // control pixels 40 .. 100, 40 .. 80
    Application->ProcessMessages();       // painted: the image's transform is current
    EXPECT_EQ(band->GetDragState(100, 60), dsSizeR);
    Drag({100, 60}, {120, 60});  // the mouse at control 120 is bitmap 60
    EXPECT_EQ(band->GetLocation(), (TFloatRect{20, 20, 60, 40}));
    Drag({60, 60}, {70, 50});  // moving keeps the grip point under the mouse
    EXPECT_EQ(band->GetLocation(), (TFloatRect{25, 15, 65, 35}));
}

TEST_F(Rubberband, ChildLayerFollows) {
    auto* child = image->GetLayers()->Add<TBitmapLayer>();
    child->SetLocation({10, 20, 60, 70});
    band->SetChildLayer(child);
    band->BringToFront();  // above the child, so that it gets the mouse
    EXPECT_EQ(band->GetLocation(), (TFloatRect{10, 20, 60, 70}));
    EXPECT_TRUE(band->GetLayerOptions() & kLayerNoUpdate);
    Drag({30, 40}, {40, 45});
    EXPECT_EQ(child->GetLocation(), (TFloatRect{20, 25, 70, 75}));
    band->SetLocation({0, 0, 30, 30});
    EXPECT_EQ(child->GetLocation(), (TFloatRect{0, 0, 30, 30}));

    image->GetLayers()->Delete(child);  // the band forgets it
    EXPECT_EQ(band->GetChildLayer(), nullptr);
    EXPECT_FALSE(band->GetLayerOptions() & kLayerNoUpdate);
    band->SetLocation({5, 5, 40, 40});

    auto* other = image->GetLayers()->Add<TPositionedLayer>();
    other->SetScaled(true);
    band->SetChildLayer(other);
    EXPECT_TRUE(band->GetScaled());
    band->SetChildLayer(nullptr);
    EXPECT_FALSE(band->GetLayerOptions() & kLayerNoUpdate);
    band->SetLocation({1, 1, 20, 20});
    EXPECT_EQ(other->GetLocation(), (TFloatRect{0, 0, 64, 64}));  // no longer followed
}

TEST_F(Rubberband, CursorShowsWhatAPressWouldDo) {
    band->SetCursor(crHandPoint);
    host.MouseMove(*form, 103, 69);
    EXPECT_EQ(Screen->GetCursor(), crSizeWE);
    host.MouseMove(*form, 74, 90);
    EXPECT_EQ(Screen->GetCursor(), crSizeNS);
    host.MouseMove(*form, 99, 89);
    EXPECT_EQ(Screen->GetCursor(), crSizeNWSE);
    host.MouseMove(*form, 99, 50);
    EXPECT_EQ(Screen->GetCursor(), crSizeNESW);
    host.MouseMove(*form, 70, 70);
    EXPECT_EQ(Screen->GetCursor(), crHandPoint);
    EXPECT_EQ(band->DragState(), dsMove);
}

TEST_F(Rubberband, FrameAndHandlesInPixels) {
    // The top line from (50, 50) in the pattern white, white, black, black.
    for (int x = 56; x < 68; ++x) EXPECT_EQ(Pixel(x, 50), (x - 50) % 4 < 2 ? clWhite32 : clBlack32) << x;
    // The right line continues the pattern after the 49 pixels of the top.
    EXPECT_EQ(Pixel(99, 58), (49 + 8) % 4 < 2 ? clWhite32 : clBlack32);
    // Corner handle of (50, 50): a 7 x 7 square, framed black, filled white.
    EXPECT_EQ(Pixel(47, 47), clBlack32);
    EXPECT_EQ(Pixel(53, 50), clBlack32);
    EXPECT_EQ(Pixel(48, 48), clWhite32);
    EXPECT_EQ(Pixel(52, 52), clWhite32);
    EXPECT_EQ(Pixel(46, 50), Grey);
    EXPECT_EQ(Pixel(54, 54), Grey);
    // Side handle at the middle of the right edge (99, 69).
    EXPECT_EQ(Pixel(102, 69), clBlack32);
    EXPECT_EQ(Pixel(101, 69), clWhite32);
    EXPECT_EQ(Pixel(75, 70), Grey);  // the inside is left alone

    band->SetHandleFill(clRed);
    band->SetHandleFrame(clBlue);
    EXPECT_EQ(Pixel(48, 48), 0xFFFF0000u);
    EXPECT_EQ(Pixel(47, 47), 0xFF0000FFu);
    band->SetHandles({rhCenter});
    EXPECT_EQ(Pixel(48, 48), Grey);
    EXPECT_EQ(Pixel(60, 50), Grey);
}

}  // namespace
