// The image control painting straight into its form's back buffer: the same
// pixels as through its own buffer and as the plain picture of the whole
// control, nothing changed outside the part being painted, and the buffer
// kept wherever a stage or a layer may draw anywhere in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bitmapui/Pix32_ImageView.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"

namespace {

constexpr TColor32 kSentinel = 0x5A0FF00Du;

void FillRandom(TBitmap32& b, int w, int h, std::mt19937& rng) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng());
}

std::vector<TColor32> PixelsOf(const TBitmap32& b) {
    return {b.Bits(), b.Bits() + static_cast<size_t>(b.Width()) * b.Height()};
}

class Image32Direct : public ::testing::Test {
protected:
    Image32Direct() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 240, 180);
        form->SetColor(clGreen);
        image = thorn::Make<TImage32>(*form);
        image->SetParent(form);
        image->SetColor(clNavy);
        image->SetScaleMode(smScale);
        image->SetScale(3);
        std::mt19937 rng(7);
        // A 120 x 90 world at zoom 3 in a control larger than the picture,
        // so the background shows right and below it.
        FillRandom(*image->GetBitmap(), 120, 90, rng);
        image->SetBounds(-31, -20, 400, 300);
        // Half-pixel places, every draw mode, stretched by each filter.
        AddLayer(rng, 7, 5, {40.5f, 30.5f, 47.5f, 35.5f}, dmOpaque);
        AddLayer(rng, 9, 6, {50, 40, 77, 58}, dmBlend, 150);
        AddLayer(rng, 9, 6, {100.25f, 60.75f, 118.25f, 72.75f}, dmBlend, 255)->GetBitmap()->SetStretchFilter(sfLinear);
        AddLayer(rng, 12, 8, {150, 150, 158, 155}, dmBlend, 200)->GetBitmap()->SetStretchFilter(sfLanczos);
        TBitmapLayer* scaled = AddLayer(rng, 4, 4, {20, 20, 30, 26}, dmBlend, 99);
        scaled->SetScaled(true);
        TBitmapLayer* custom = AddLayer(rng, 8, 8, {-10, -10, 50, 40}, dmCustom);
        custom->GetBitmap()->OnPixelCombine = [](TColor32 f, TColor32& b, TColor32) { b ^= f; };
        // Across the form's right edge and across the picture's.
        AddLayer(rng, 30, 12, {255, 100, 285, 112}, dmBlend, 180);
        cropped = AddLayer(rng, 40, 10, {340, 250, 380, 260}, dmOpaque);
        AddLayer(rng, 5, 5, {60, 60, 65, 65}, dmOpaque)->SetVisible(false);
        form->Show();
        Application->ProcessMessages();
    }

    TBitmapLayer* AddLayer(std::mt19937& rng, int w, int h, TFloatRect location, TDrawMode mode,
                           uint32_t masterAlpha = 255) {
        auto* layer = image->GetLayers()->Add<TBitmapLayer>();
        FillRandom(*layer->GetBitmap(), w, h, rng);
        layer->GetBitmap()->SetDrawMode(mode);
        layer->GetBitmap()->SetMasterAlpha(masterAlpha);
        layer->SetLocation(location);
        return layer;
    }

    // Everything painted again, over a back buffer filled with a sentinel.
    std::vector<TColor32> RepaintAll() {
        form->BackBuffer().Clear(kSentinel);
        form->Invalidate();
        Application->ProcessMessages();
        return PixelsOf(form->GetBackBuffer());
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TImage32* image = nullptr;
    TBitmapLayer* cropped = nullptr;
};

TEST_F(Image32Direct, PaintsTheSamePixelsStraightIntoTheFormAsThroughItsBuffer) {
    cropped->SetCropped(true);
    for (TRect bounds : {TRect{-31, -20, 369, 280}, TRect{0, 0, 400, 300}, TRect{-120, -91, 280, 209},
                         TRect{17, 9, 417, 309}}) {
        SCOPED_TRACE(bounds.Left);
        image->SetBoundsRect(bounds);
        image->SetKeepBuffer(true);
        std::vector<TColor32> buffered = RepaintAll();
        EXPECT_FALSE(image->GetPaintedDirect());
        EXPECT_FALSE(image->GetBuffer()->Empty());
        image->SetKeepBuffer(false);
        std::vector<TColor32> direct = RepaintAll();
        EXPECT_TRUE(image->GetPaintedDirect());
        EXPECT_TRUE(image->GetBuffer()->Empty());  // its memory given back
        ASSERT_EQ(direct, buffered);
    }
}

TEST_F(Image32Direct, InsideABorderedParentToo) {
    auto* panel = thorn::Make<TCustomControl>(*form);
    panel->SetParent(form);
    panel->SetBounds(20, 15, 150, 100);
    panel->SetBorderWidth(3);
    image->SetParent(panel);
    image->SetBounds(-7, -5, 400, 300);
    image->SetKeepBuffer(true);
    std::vector<TColor32> buffered = RepaintAll();
    image->SetKeepBuffer(false);
    std::vector<TColor32> direct = RepaintAll();
    EXPECT_TRUE(image->GetPaintedDirect());
    EXPECT_EQ(direct, buffered);
    // The parent's border (which a bare control leaves to the form) and the
    // form around it keep the form's colour.
    EXPECT_EQ(form->GetBackBuffer().GetPixel(22, 17), thorn::CanvasColor(clGreen));
    EXPECT_EQ(form->GetBackBuffer().GetPixel(171, 60), thorn::CanvasColor(clGreen));
}

TEST_F(Image32Direct, TheDirectPictureIsThePlainPictureOfTheWholeControl) {
    // The reference: every run-time stage into a bitmap of the control's
    // size, as if the control had a buffer of its own size at (0, 0).
    // Half-pixel layers round where they lie in the control, wherever the
    // visible part begins.
    TBitmap32 whole;
    whole.SetSize(image->GetWidth(), image->GetHeight());
    image->PaintTo(&whole, image->GetBitmapRect());
    for (bool keepBuffer : {false, true}) {
        image->SetKeepBuffer(keepBuffer);
        Application->ProcessMessages();
        const TBitmap32& shown = form->GetBackBuffer();
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x)
                ASSERT_EQ(shown.GetPixel(x, y), whole.GetPixel(x + 31, y + 20)) << x << "," << y << " " << keepBuffer;
    }
}

TEST_F(Image32Direct, OnlyThePartBeingPaintedChanges) {
    image->SetBoundsRect({15, 12, 215, 142});  // the form's green shows around it
    std::vector<TColor32> whole = RepaintAll();
    form->BackBuffer().Clear(kSentinel);
    TRect part{50, 40, 90, 70};
    form->InvalidateClientRect(part);
    Application->ProcessMessages();
    const TBitmap32& shown = form->GetBackBuffer();
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x)
            ASSERT_EQ(shown.GetPixel(x, y), PtInRect(part, {x, y}) ? whole[y * shown.Width() + x] : kSentinel)
                << x << "," << y;

    // The image's own repaint stays inside what can be seen of it.
    form->BackBuffer().Clear(kSentinel);
    image->Invalidate();
    Application->ProcessMessages();
    TRect visible{15, 12, 215, 142};
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x)
            ASSERT_EQ(shown.GetPixel(x, y), PtInRect(visible, {x, y}) ? whole[y * shown.Width() + x] : kSentinel)
                << x << "," << y;
}

// A layer dragged across the view: each step repaints where the layer was
// and where it is, and nothing else, with or without the image's buffer; a
// layer that may paint anywhere repaints everything that shows.
TEST_F(Image32Direct, AMovedLayerRepaintsWhereItWasAndWhereItIsOnly) {
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    auto* layer = dynamic_cast<TBitmapLayer*>(image->GetLayers()->GetItem(0));
    ASSERT_NE(layer, nullptr);
    struct Step {
        bool keepBuffer;
        TFloatRect from, to;
        std::vector<TRect> repainted;  // form coordinates (the control lies at -31, -20)
    };
    const Step steps[] = {
        {false, {40, 30, 47, 35}, {43, 32, 50, 37}, {{9, 10, 16, 15}, {12, 12, 19, 17}}},
        {true, {40, 30, 47, 35}, {43, 32, 50, 37}, {{9, 10, 16, 15}, {12, 12, 19, 17}}},
        {false, {40, 30, 47, 35}, {200, 100, 207, 105}, {{9, 10, 16, 15}, {169, 80, 176, 85}}},
        {false, {20, 10, 27, 15}, {21, 10, 28, 15}, {{0, 0, 0, 0}, {-11, -10, -3, -5}}},  // off the form
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.to.Left);
        image->SetKeepBuffer(step.keepBuffer);
        layer->SetLocation(step.from);
        RepaintAll();
        changes = 0;
        form->BackBuffer().Clear(kSentinel);
        layer->SetLocation(step.to);
        Application->ProcessMessages();
        EXPECT_EQ(changes, 1);
        const std::vector<TColor32> stepped = PixelsOf(form->GetBackBuffer());
        const std::vector<TColor32> whole = RepaintAll();
        const int w = form->GetBackBuffer().Width();
        for (int i = 0; i < static_cast<int>(whole.size()); ++i) {
            const TPoint p{i % w, i / w};
            const bool inside = std::any_of(step.repainted.begin(), step.repainted.end(),
                                            [&](const TRect& r) { return PtInRect(r, p); });
            ASSERT_EQ(stepped[i], inside ? whole[i] : kSentinel) << p.X << "," << p.Y;
        }
    }

    image->SetKeepBuffer(false);
    layer->OnPaint = [](TObject*, TBitmap32*) {};
    RepaintAll();
    form->BackBuffer().Clear(kSentinel);
    layer->SetLocation({60, 50, 67, 55});
    Application->ProcessMessages();
    EXPECT_EQ(PixelsOf(form->GetBackBuffer()), RepaintAll());
}

TEST_F(Image32Direct, TilesMeetOnlyThePartBeingPainted) {
    image->SetBitmapAlign(baTile);
    image->SetScaleMode(smNormal);
    image->GetBitmap()->SetSize(16, 16);
    image->GetBitmap()->Clear(0xFF00FF00u);
    image->GetBitmap()->SetPixel(0, 0, 0xFFFF0000u);
    image->GetLayers()->Clear();
    image->SetBoundsRect({-5, -3, 395, 297});
    RepaintAll();
    form->BackBuffer().Clear(kSentinel);
    form->InvalidateClientRect({27, 29, 45, 47});
    Application->ProcessMessages();
    const TBitmap32& shown = form->GetBackBuffer();
    EXPECT_EQ(shown.GetPixel(26, 29), kSentinel);
    EXPECT_EQ(shown.GetPixel(27, 29), 0xFFFF0000u);  // control (32, 32)
    EXPECT_EQ(shown.GetPixel(28, 29), 0xFF00FF00u);
    EXPECT_EQ(shown.GetPixel(43, 45), 0xFFFF0000u);  // control (48, 48)
    EXPECT_EQ(shown.GetPixel(45, 45), kSentinel);
}

TEST_F(Image32Direct, ABufferIsKeptWhereSomethingMayDrawAnywhere) {
    image->SetBoundsRect({10, 10, 210, 160});
    Application->ProcessMessages();
    EXPECT_TRUE(image->GetPaintedDirect());

    // A custom stage with a handler: what it draws into the buffer shows.
    TPaintStage* stage = image->GetPaintStages()->Add();
    stage->Stage = PST_CUSTOM;
    image->OnPaintStage = [](TObject*, TBitmap32* buffer, uint32_t) { buffer->SetPixel(3, 4, 0xFFFFFFFFu); };
    image->Invalidate();
    Application->ProcessMessages();
    EXPECT_FALSE(image->GetPaintedDirect());
    EXPECT_GE(image->GetBuffer()->Width(), 200);
    EXPECT_EQ(form->GetBackBuffer().GetPixel(13, 14), 0xFFFFFFFFu);
    image->OnPaintStage = nullptr;
    image->Invalidate();
    Application->ProcessMessages();
    EXPECT_TRUE(image->GetPaintedDirect());

    // A visible layer with a paint handler, or of a class of its own.
    auto* painted = image->GetLayers()->Add<TBitmapLayer>();
    painted->OnPaint = [](TObject*, TBitmap32*) {};
    Application->ProcessMessages();
    EXPECT_FALSE(image->GetPaintedDirect());
    painted->SetVisible(false);
    Application->ProcessMessages();
    EXPECT_TRUE(image->GetPaintedDirect());
    struct OwnLayer : TBitmapLayer {};
    image->GetLayers()->Adopt(std::make_unique<OwnLayer>());
    Application->ProcessMessages();
    EXPECT_FALSE(image->GetPaintedDirect());
}

TEST_F(Image32Direct, FlushShowsTheDirectPictureAgain) {
    ASSERT_TRUE(image->GetPaintedDirect());
    int presents = host.PresentCount(*form);
    image->Flush();
    Application->ProcessMessages();
    EXPECT_EQ(host.PresentCount(*form), presents + 1);
    image->Flush({0, 0, 5, 5});
    Application->ProcessMessages();
    EXPECT_EQ(host.PresentCount(*form), presents + 2);
}

// The view's bars and size grip sit beside the viewport; neither way of
// painting the picture covers the grip.
TEST(ImgViewPaint, TheSizeGripStaysUncovered) {
    thorn::HeadlessApplication session;
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(0, 0, 300, 200);
    auto* view = thorn::Make<TImgView32>(*form);
    view->SetParent(form);
    view->SetBounds(0, 0, 200, 150);
    view->SetColor(clRed);
    view->SetSizeGrip(sgAlways);
    view->GetBitmap()->SetSize(20, 20);
    view->GetBitmap()->Clear(0xFF336699u);
    form->Show();
    for (bool keepBuffer : {false, true}) {
        view->SetKeepBuffer(keepBuffer);
        Application->ProcessMessages();
        TRect grip = view->GetSizeGripRect();
        EXPECT_EQ(form->GetBackBuffer().GetPixel(grip.Left, grip.Top), thorn::CanvasColor(clBtnFace)) << keepBuffer;
        EXPECT_EQ(form->GetBackBuffer().GetPixel(grip.Left - 1, grip.Top - 1), thorn::CanvasColor(clRed));
    }
}

}  // namespace
