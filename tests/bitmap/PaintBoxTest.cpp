#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap/Pix32_Image.h"
#include "platform/gui/Application.h"
#include "platform/gui/Canvas.h"
#include "platform/headless/HeadlessHost.h"

namespace {

constexpr TColor32 kWhite = 0xFFFFFFFFu;
constexpr TColor32 kRed = 0xFFFF0000u;
constexpr TColor32 kBlue = 0xFF0000FFu;

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

class PaintBoxes : public ::testing::Test {
protected:
    PaintBoxes() {
        form = Application->CreateForm<TForm>();
        form->SetBounds(0, 0, 300, 200);
    }
    void ShowAndPaint() {
        form->Show();
        Application->ProcessMessages();
    }
    TColor32 Shown(int x, int y) const { return host.PixelAt(*form, x, y); }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    TForm* form = nullptr;
};

// A handler draws at the control's coordinates into a buffer of the
// control's size, even when the control lies partly outside its parent.
TEST_F(PaintBoxes, HandlersDrawInTheControlsCoordinates) {
    auto* box = thorn::Make<TPaintBox32>(*form);
    box->SetParent(form);
    box->SetBounds(-50, 20, 120, 80);
    box->OnPaintBuffer = [&](TObject*) {
        TBitmap32& buffer = *box->GetBuffer();
        buffer.Clear(kWhite);
        buffer.FillRectS({60, 10, 70, 20}, kRed);
    };
    auto* image = thorn::Make<TImage32>(*form);
    image->SetParent(form);
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
}

// Layers with the GDI overlay option draw on the canvas after the buffer,
// bottom to top, then the overlay event runs; other layers are not asked.
TEST_F(PaintBoxes, OverlayLayersPaintOnTheCanvasAfterTheBuffer) {
    auto* image = thorn::Make<TImage32>(*form);
    image->SetParent(form);
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

}  // namespace
