#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap/Canvas.h"
#include "bitmapui/Pix32_Image.h"
#include "gui/Application.h"
#include "gui/headless/HeadlessHost.h"
#include "platform/ClassRegistry.h"
#include "platform/Collections.h"
#include "platform/Filer.h"
#include "platform/Streams.h"
#include "support/Pixels.h"

namespace {

using thorn::test::CountingBitmap;

constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kGreen = 0xFF00FF00u;
constexpr TColor32 kBlue = 0xFF0000FFu;
constexpr TColor32 kWhite = 0xFFFFFFFFu;

// A picture whose every pixel tells where it is: (x, y) -> red x, green y.
void FillCoordinates(TBitmap32& b, int w, int h) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, 0xFF000000u | (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x80);
}

// A layer drawn on the control's canvas after the buffer is shown; it
// notes when, in the order of everything painted.
class OverlayLayer : public TCustomLayer {
public:
    void PaintGDI(TCanvas* canvas) override {
        order->push_back(name);
        canvas->Brush().SetColor(0x0000FF);  // red
        canvas->FillRect(place);
    }
    std::vector<std::string>* order = nullptr;
    std::string name;
    TRect place;
};

class Image32 : public ::testing::Test {
protected:
    Image32() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 400, 300);
        image = thorn::Make<TImage32>(*form);
        image->SetParent(form);
    }
    void ShowAndPaint() {
        form->Show();
        Application->ProcessMessages();
    }
    TColor32 Shown(int x, int y) const { return host.PixelAt(*form, x, y); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
    TImage32* image = nullptr;
};

TEST_F(Image32, ScaleModesSizeAndPlaceTheBitmap) {
    image->SetBounds(0, 0, 300, 300);
    image->GetBitmap()->SetSize(100, 50);
    image->SetScaleMode(smScale);
    image->SetScale(2);
    image->SetBitmapAlign(baCenter);
    EXPECT_EQ(image->GetBitmapRect(), (TRect{50, 100, 250, 200}));
    EXPECT_EQ(image->ControlToBitmap({150, 150}), (TPoint{50, 25}));
    EXPECT_EQ(image->BitmapToControl({50, 25}), (TPoint{150, 150}));

    image->SetScaleMode(smResize);
    EXPECT_EQ(image->GetBitmapSize(), (TSize{300, 150}));
    image->SetScaleMode(smStretch);
    EXPECT_EQ(image->GetBitmapSize(), (TSize{300, 300}));
    image->SetScaleMode(smNormal);
    EXPECT_EQ(image->GetBitmapSize(), (TSize{100, 50}));
    image->SetBitmapAlign(baCustom);
    image->SetOffsetHorz(10.5f);
    image->SetOffsetVert(11.5f);
    EXPECT_EQ(image->GetBitmapRect(), (TRect{10, 12, 110, 62}));

    image->SetScale(0);
    EXPECT_FLOAT_EQ(image->GetScale(), 0.001f);
    image->GetBitmap()->SetSize(0, 0);
    EXPECT_EQ(image->GetBitmapRect(), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(image->ControlToBitmap({7, 9}), (TPoint{7, 9}));  // the unit transform
}

TEST_F(Image32, AControlOfNoSizeMapsWithTheUnitTransform) {
    image->GetBitmap()->SetSize(100, 50);
    image->SetBounds(0, 0, 0, 0);
    EXPECT_NO_THROW(image->ControlToBitmap({3, 4}));
    EXPECT_EQ(image->ControlToBitmap({3, 4}), (TPoint{3, 4}));
    EXPECT_EQ(image->GetCachedTransform(), kUnitTransform);
}

TEST_F(Image32, CoordinatesOfLargeWorldsAtHighZoomDoNotOverflow) {
    image->GetBitmap()->SetSize(32640, 1);
    image->SetScaleMode(smScale);
    image->SetScale(8);
    image->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(image->BitmapToControl({32000, 0}), (TPoint{256000, 0}));
    EXPECT_EQ(image->ControlToBitmap({256000, 0}), (TPoint{32000, 0}));
    EXPECT_EQ(image->ControlToBitmap({-80, 0}), (TPoint{-10, 0}));  // truncated toward zero
}

TEST_F(Image32, AScaledSizeBeyondThirtyTwoBitsStopsAtTheLargest) {
    image->GetBitmap()->SetSize(300, 300);
    image->SetScaleMode(smScale);
    image->SetScale(1e7f);
    image->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(image->GetBitmapSize(), (TSize{INT32_MAX, INT32_MAX}));
}

TEST_F(Image32, PaintsBackgroundBitmapAndVisibleLayers) {
    image->SetBounds(10, 20, 100, 80);
    image->SetColor(clBlue);
    image->GetBitmap()->SetSize(40, 30);
    image->GetBitmap()->Clear(kGreen);
    auto* shown = image->GetLayers()->Add<TBitmapLayer>();
    shown->GetBitmap()->SetSize(1, 1);
    shown->GetBitmap()->Clear(kRed);
    shown->SetLocation({30, 25, 50, 35});
    auto* hidden = image->GetLayers()->Add<TBitmapLayer>();
    hidden->GetBitmap()->SetSize(1, 1);
    hidden->GetBitmap()->Clear(0xFFFFFFFFu);
    hidden->SetLocation({0, 0, 5, 5});
    hidden->SetVisible(false);
    ShowAndPaint();
    EXPECT_EQ(Shown(10, 20), kGreen);   // the bitmap at the top-left
    EXPECT_EQ(Shown(39, 44), kGreen);
    EXPECT_EQ(Shown(50, 20), kBlue);    // the background around it
    EXPECT_EQ(Shown(10, 50), kBlue);
    EXPECT_EQ(Shown(40, 45), kRed);     // the layer, over both
    EXPECT_EQ(Shown(59, 54), kRed);
    EXPECT_EQ(Shown(60, 54), kBlue);

    // A change of a layer shows at once; hiding it takes it away.
    shown->SetLocation({0, 0, 10, 10});
    Application->ProcessMessages();
    EXPECT_EQ(Shown(10, 20), kRed);
    EXPECT_EQ(Shown(40, 45), kGreen);
    shown->SetVisible(false);
    Application->ProcessMessages();
    EXPECT_EQ(Shown(10, 20), kGreen);
}

TEST_F(Image32, ScaledLayersAndTheBitmapFollowTheZoom) {
    image->SetBounds(0, 0, 200, 200);
    image->SetScaleMode(smScale);
    image->SetScale(2);
    FillCoordinates(*image->GetBitmap(), 50, 50);
    auto* layer = image->GetLayers()->Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(1, 1);
    layer->GetBitmap()->Clear(kRed);
    layer->SetScaled(true);
    layer->SetLocation({10, 10, 20, 20});
    ShowAndPaint();
    EXPECT_EQ(Shown(20, 20), kRed);
    EXPECT_EQ(Shown(39, 39), kRed);
    EXPECT_EQ(Shown(40, 40), image->GetBitmap()->GetPixel(20, 20));
    EXPECT_EQ(Shown(19, 19), image->GetBitmap()->GetPixel(9, 9));
    EXPECT_EQ(Shown(99, 1), image->GetBitmap()->GetPixel(49, 0));
    image->SetScale(3);
    Application->ProcessMessages();
    EXPECT_EQ(Shown(30, 30), kRed);
    EXPECT_EQ(Shown(60, 60), image->GetBitmap()->GetPixel(20, 20));
    // The reverse scale is 65536 * 50 / 150 = 21845, and products truncate.
    EXPECT_EQ(image->ControlToBitmap({60, 60}), (TPoint{19, 19}));
    EXPECT_EQ(image->ControlToBitmap({61, 61}), (TPoint{20, 20}));
}

TEST_F(Image32, TilesCoverTheWholeControl) {
    image->SetBounds(0, 0, 50, 40);
    image->SetColor(clBlue);
    image->SetBitmapAlign(baTile);
    image->GetBitmap()->SetSize(16, 16);
    image->GetBitmap()->Clear(kGreen);
    image->GetBitmap()->SetPixel(0, 0, kRed);
    ShowAndPaint();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(Shown(x, y), x % 16 == 0 && y % 16 == 0 ? kRed : kGreen) << x << "," << y;
}

TEST_F(Image32, PaintToRunsTheRunTimeStagesIntoAnotherBitmap) {
    image->SetBounds(0, 0, 100, 100);
    FillCoordinates(*image->GetBitmap(), 10, 10);
    auto* layer = image->GetLayers()->Add<TBitmapLayer>();
    layer->GetBitmap()->SetSize(1, 1);
    layer->GetBitmap()->Clear(kRed);
    layer->SetScaled(true);
    layer->SetLocation({5, 5, 6, 6});
    int customRuns = 0;
    TPaintStage* custom = image->GetPaintStages()->Add();
    custom->Stage = PST_CUSTOM;
    custom->DsgnTime = true;
    custom->RunTime = false;
    image->OnPaintStage = [&](TObject*, TBitmap32*, uint32_t) { ++customRuns; };

    CountingBitmap target(30, 30, 0xFF000000u);
    image->PaintTo(&target, {5, 5, 25, 25});  // twice the size
    EXPECT_EQ(target.GetPixel(5, 5), image->GetBitmap()->GetPixel(0, 0));
    EXPECT_EQ(target.GetPixel(24, 24), image->GetBitmap()->GetPixel(9, 9));
    EXPECT_EQ(target.GetPixel(7, 9), image->GetBitmap()->GetPixel(1, 2));
    EXPECT_EQ(target.GetPixel(15, 15), kRed);  // the scaled layer: (5,5)-(6,6) -> (15,15)-(17,17)
    EXPECT_EQ(target.GetPixel(16, 16), kRed);
    EXPECT_EQ(target.GetPixel(17, 17), image->GetBitmap()->GetPixel(6, 6));
    EXPECT_EQ(customRuns, 0);  // design-time stages do not run
    EXPECT_FALSE(image->GetPaintToMode());
    EXPECT_EQ(image->ControlToBitmap({5, 5}), (TPoint{5, 5}));  // the control's own mapping again
}

TEST_F(Image32, PaintStagesKeepTheirOrder) {
    TPaintStages* stages = image->GetPaintStages();
    ASSERT_EQ(stages->GetCount(), 5);
    EXPECT_EQ(stages->Items(0)->Stage, PST_CLEAR_BACKGND);
    EXPECT_FALSE(stages->Items(1)->RunTime);
    EXPECT_EQ(stages->Items(4)->Parameter, 0x80000000u);
    TPaintStage* first = stages->Insert(-3);
    EXPECT_EQ(stages->Items(0), first);
    EXPECT_TRUE(first->RunTime);
    EXPECT_EQ(first->Stage, 0u);
    stages->Insert(99);
    EXPECT_EQ(stages->GetCount(), 7);
    EXPECT_THROW(stages->Delete(7), EListError);
    try {
        stages->Delete(-1);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Invalid stage index");
    }
    stages->Delete(0);
    EXPECT_EQ(stages->GetCount(), 6);
}

TEST_F(Image32, MouseEventsNameTheLayerAndTheLayerHoldsTheMouse) {
    image->SetBounds(10, 10, 200, 200);
    image->GetBitmap()->SetSize(200, 200);
    auto* low = image->GetLayers()->Add<TBitmapLayer>();
    low->SetLocation({0, 0, 100, 100});
    auto* high = image->GetLayers()->Add<TBitmapLayer>();
    high->SetLocation({50, 50, 150, 150});
    std::vector<std::string> log;
    auto name = [&](TCustomLayer* l) { return std::string(l == low ? "low" : l == high ? "high" : "none"); };
    image->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };
    image->OnMouseMove = [&](TObject*, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };
    image->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y) + " " + name(l));
    };
    std::vector<std::string> layerMoves;
    high->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        layerMoves.push_back(std::to_string(x) + "," + std::to_string(y));
    };
    ShowAndPaint();

    host.Click(*form, 30, 30);  // control (20, 20): only the low layer there
    host.Drag(*form, {70, 70}, {300, 250}, 1);  // starts on the high layer, leaves the control
    EXPECT_EQ(log, (std::vector<std::string>{"move 20,20 low", "down 0 20,20 low", "up 20,20 low", "move 60,60 high",
                                             "down 0 60,60 high", "move 290,240 high", "up 290,240 high"}));
    // The layer kept the mouse outside its rectangle and the control's.
    EXPECT_EQ(layerMoves, (std::vector<std::string>{"60,60", "290,240"}));
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);

    // A right press over no layer does not take the mouse; a left one does.
    log.clear();
    host.MouseDown(*form, 190, 190, mbRight);
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);
    host.MouseUp(*form, 190, 190, mbRight);
    host.MouseDown(*form, 190, 190, mbLeft);
    EXPECT_EQ(Application->GetCaptureControl(), image);
    host.MouseUp(*form, 190, 190, mbLeft);
    EXPECT_EQ(Application->GetCaptureControl(), nullptr);

    // With the collection's mouse events off, no layer is named.
    log.clear();
    image->GetLayers()->SetMouseEvents(false);
    host.Click(*form, 70, 70);
    EXPECT_EQ(log, (std::vector<std::string>{"move 60,60 none", "down 0 60,60 none", "up 60,60 none"}));
}

TEST_F(Image32, LeavingTheControlGivesBackTheDefaultCursor) {
    image->SetBounds(0, 0, 100, 100);
    image->GetBitmap()->SetSize(100, 100);
    image->SetCursor(crHandPoint);
    auto* layer = image->GetLayers()->Add<TBitmapLayer>();
    layer->SetLocation({0, 0, 10, 10});
    layer->SetCursor(crCross);
    ShowAndPaint();
    host.MouseMove(*form, 5, 5);
    EXPECT_EQ(Screen->GetCursor(), crCross);
    host.MouseMove(*form, 50, 50);
    EXPECT_EQ(Screen->GetCursor(), crHandPoint);
    EXPECT_EQ(host.GetShownCursor(), crHandPoint);
    host.MouseMove(*form, 200, 200);
    EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(Image32, TheBufferCoversOnlyWhatCanBeSeen) {
    // A world seen through a window: the image is as large as the zoomed
    // picture and the form shows a part of it, as a scrolling parent would.
    image->SetScaleMode(smScale);
    FillCoordinates(*image->GetBitmap(), 2000, 2000);
    image->SetScale(8);
    image->SetBounds(-8 * 1000, -8 * 500, 16000, 16000);  // scrolled to world (1000, 500)
    ShowAndPaint();
    EXPECT_LE(image->GetBuffer()->Width(), 400 + 40);
    EXPECT_LE(image->GetBuffer()->Height(), 300 + 40);
    // What is shown is that part of the whole zoomed picture.
    auto expectWindowOf = [&](TPoint controlOrigin) {
        CountingBitmap reference(400, 300);
        image->PaintTo(&reference, {-controlOrigin.X, -controlOrigin.Y, 16000 - controlOrigin.X, 16000 - controlOrigin.Y});
        for (int y = 0; y < 300; y += 7)
            for (int x = 0; x < 400; x += 7) ASSERT_EQ(Shown(x, y), reference.GetPixel(x, y)) << x << "," << y;
    };
    expectWindowOf({8000, 4000});
    EXPECT_EQ(Shown(4, 4), image->GetBitmap()->GetPixel(1000, 500));

    // Layers sit where they belong in the control, whatever the buffer.
    auto* marker = image->GetLayers()->Add<TBitmapLayer>();
    marker->GetBitmap()->SetSize(1, 1);
    marker->GetBitmap()->Clear(kRed);
    marker->SetLocation({8000 + 16, 4000 + 24, 8000 + 26, 4000 + 34});
    Application->ProcessMessages();
    EXPECT_EQ(Shown(16, 24), kRed);
    EXPECT_EQ(Shown(25, 33), kRed);
    EXPECT_NE(Shown(26, 34), kRed);
    EXPECT_NE(Shown(15, 23), kRed);
    TCustomLayer* clicked = nullptr;
    image->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int, TCustomLayer* layer) { clicked = layer; };
    host.Click(*form, 20, 30);
    EXPECT_EQ(clicked, marker);
    marker->SetVisible(false);

    // Scrolling moves the buffer over the picture.
    image->SetBounds(-8 * 1500, -8 * 1500, 16000, 16000);
    Application->ProcessMessages();
    expectWindowOf({12000, 12000});
}

// A handler draws at the control's coordinates into a buffer of the
// control's size, even when the control lies partly outside its parent.
TEST_F(Image32, HandlersDrawInTheControlsCoordinates) {
    auto* box = thorn::Make<TPaintBox32>(*form);
    box->SetParent(form);
    box->SetBounds(-50, 20, 120, 80);
    box->OnPaintBuffer = [&](TObject*) {
        TBitmap32& buffer = *box->GetBuffer();
        buffer.Clear(kWhite);
        buffer.FillRectS({60, 10, 70, 20}, kRed);
    };
    image->SetBounds(150, -30, 100, 100);
    image->GetBitmap()->SetSize(100, 100);
    image->GetBitmap()->Clear(kWhite);
    image->GetPaintStages()->Add()->Stage = PST_CUSTOM;
    image->OnPaintStage = [](TObject*, TBitmap32* buffer, uint32_t) { buffer->FillRectS({40, 50, 45, 55}, kBlue); };
    ShowAndPaint();

    EXPECT_EQ(box->GetBuffer()->Width(), 120 + 40);  // the control's size and the spare room
    EXPECT_EQ(box->GetBufferOrigin(), (TPoint{0, 0}));
    EXPECT_EQ(Shown(-50 + 60, 20 + 10), kRed);
    EXPECT_EQ(Shown(-50 + 69, 20 + 19), kRed);
    EXPECT_EQ(Shown(-50 + 70, 20 + 10), kWhite);
    EXPECT_EQ(Shown(150 + 40, -30 + 50), kBlue);
    EXPECT_EQ(Shown(150 + 44, -30 + 54), kBlue);
    EXPECT_EQ(Shown(150 + 45, -30 + 50), kWhite);
    EXPECT_EQ(Shown(150 + 99, -30 + 99), kWhite);  // the bitmap to the control's last row
}

// Layers with the GDI overlay option draw on the canvas after the buffer,
// bottom to top, then the overlay event runs; other layers are not asked.
TEST_F(Image32, OverlayLayersPaintOnTheCanvasAfterTheBuffer) {
    image->SetBounds(10, 10, 200, 150);
    image->GetBitmap()->SetSize(200, 150);
    image->GetBitmap()->Clear(kWhite);
    std::vector<std::string> order;
    auto overlay = [&](const char* name, uint32_t options, TRect place) {
        auto* layer = image->GetLayers()->Add<OverlayLayer>();
        layer->SetLayerOptions(options);
        layer->order = &order;
        layer->name = name;
        layer->place = place;
    };
    overlay("lower", kLayerGdiOverlay, {5, 5, 15, 15});
    overlay("plain", kLayerVisible, {20, 5, 30, 15});
    overlay("upper", kLayerGdiOverlay | kLayerVisible, {40, 5, 50, 15});
    image->OnGDIOverlay = [&](TObject*) { order.push_back("event"); };
    ShowAndPaint();

    EXPECT_EQ(order, (std::vector<std::string>{"lower", "upper", "event"}));
    EXPECT_EQ(Shown(10 + 5, 10 + 5), kRed);
    EXPECT_EQ(Shown(10 + 49, 10 + 14), kRed);
    EXPECT_EQ(Shown(10 + 25, 10 + 10), kWhite);

    // Each paint draws them again over the fresh picture.
    order.clear();
    image->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(order, (std::vector<std::string>{"lower", "upper", "event"}));
    EXPECT_EQ(Shown(10 + 5, 10 + 5), kRed);
}

TEST_F(Image32, AutoSizeFollowsTheBitmap) {
    image->SetScaleMode(smScale);
    image->SetScale(1.5f);
    image->SetAutoSize(true);
    int resizes = 0;
    image->OnBitmapResize = [&](TObject*) { ++resizes; };
    image->GetBitmap()->SetSize(11, 20);
    EXPECT_EQ(image->GetWidth(), 16);  // 16.5 rounds to even
    EXPECT_EQ(image->GetHeight(), 30);
    EXPECT_EQ(resizes, 1);
    image->BeginUpdate();
    image->GetBitmap()->SetSize(4, 4);
    EXPECT_EQ(resizes, 1);
    image->EndUpdate();
    EXPECT_THROW(image->EndUpdate(), EInvalidOperation);
}

TEST_F(Image32, SetupBitmapSizesItToTheViewport) {
    image->SetBounds(0, 0, 64, 48);
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    image->SetupBitmap(true, kGreen);
    EXPECT_EQ(image->GetBitmap()->Width(), 64);
    EXPECT_EQ(image->GetBitmap()->Height(), 48);
    EXPECT_EQ(image->GetBitmap()->GetPixel(63, 47), kGreen);
    EXPECT_GE(changes, 1);
}

// ---- bitmap lists

TEST(TBitmap32List, ItemsOwnTheirPicturesAndCopyWhatTheyAreGiven) {
    TBitmap32List list;
    for (int i = 0; i < 3; ++i) list.GetBitmaps()->Add();
    CountingBitmap source(2, 1, kRed);
    list.SetBitmap(2, source);
    source.Clear(kBlue);
    EXPECT_EQ(list.GetBitmap(2)->GetPixel(1, 0), kRed);
    EXPECT_EQ(list.GetBitmaps()->GetItem(2)->GetBitmap(), list.GetBitmap(2));
    EXPECT_EQ(list.GetBitmaps()->GetOwner(), &list);
    EXPECT_THROW(list.GetBitmap(3), EListError);
    EXPECT_THROW(list.SetBitmap(-1, source), EListError);
}

// A list loaded from a form stream has as many items, in the same order,
// as were stored.
TEST(TBitmap32List, AFormStreamKeepsCountAndOrder) {
    RegisterClass<TBitmap32List>("TBitmap32List");
    TBitmap32List list;
    for (int i = 0; i < 3; ++i) {
        TBitmap32* b = list.GetBitmaps()->Add()->GetBitmap();
        b->SetSize(i + 1, 2);
        b->Clear(0xFF000000u | static_cast<uint32_t>(i));
    }
    TMemoryStream form;
    thorn::WriteComponent(form, list);
    form.SetPosition(0);
    const std::unique_ptr<TComponent> read = thorn::ReadComponent(form);
    auto* loaded = dynamic_cast<TBitmap32List*>(read.get());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetBitmaps()->GetCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded->GetBitmap(i)->Width(), i + 1);
        EXPECT_EQ(loaded->GetBitmap(i)->GetPixel(0, 1), 0xFF000000u | static_cast<uint32_t>(i));
    }

    // The list's own stored form: a count, then the three "Data" streams
    // (width, height, pixels).
    TMemoryStream stream;
    list.WriteToStream(stream);
    EXPECT_EQ(stream.GetSize(), 4 + (8 + 8) + (8 + 16) + (8 + 24));

    // A damaged stream leaves the list as it was.
    std::vector<uint8_t> bytes = stream.Bytes();
    bytes.resize(bytes.size() - 5);
    TMemoryStream truncated(bytes);
    EXPECT_THROW(loaded->ReadFromStream(truncated), EReadError);
    EXPECT_EQ(loaded->GetBitmaps()->GetCount(), 3);
    std::vector<uint8_t> hostile{0xFF, 0xFF, 0xFF, 0x7F};
    TMemoryStream huge(hostile);
    EXPECT_THROW(loaded->ReadFromStream(huge), EReadError);
}

}  // namespace
