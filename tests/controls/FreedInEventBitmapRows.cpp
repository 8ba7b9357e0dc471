// The bitmap library's controls, and the layers on them, in the table of
// controls freed inside their own events.

#include "FreedInEvent.h"
#include "bitmapui/Pix32_Image.h"
#include "bitmapui/Pix32_ImageView.h"
#include "bitmapui/Pix32_Layers.h"
#include "bitmapui/Pix32_LayersRubberband.h"
#include "bitmapui/Pix32_RangeBars.h"
#include "platform/Streams.h"

namespace thorn::test {

namespace {

// An image of 100 x 80 pixels shown unscaled, with a bitmap layer over
// (20, 20, 60, 60) and, for the rubberband rows, a rubberband around it.
template <typename C>
std::function<TComponent*(FreeKit&)> Picture(bool rubberband = false) {
    return [rubberband](FreeKit& k) -> TComponent* {
        auto* image = static_cast<C*>(Placed<C>(10, 10, 160, 120)(k));
        image->SetTabStop(true);
        image->GetBitmap()->SetSize(100, 80);
        image->GetBitmap()->Clear(0xFF808080u);
        image->SetScaleMode(smNormal);
        auto* layer = image->GetLayers()->template Add<TBitmapLayer>();
        layer->GetBitmap()->SetSize(40, 40);
        layer->SetLocation({20, 20, 60, 60});
        layer->SetMouseEvents(true);
        if (rubberband) {
            auto* band = image->GetLayers()->template Add<TRubberbandLayer>();
            band->SetChildLayer(layer);
        }
        return image;
    };
}

// Where a control point of the image is on the control.
TPoint OnImage(TCustomImage32& image, int x, int y) {
    const TRect r = image.GetBitmapRect();
    return {r.Left + x, r.Top + y};
}

TCustomLayer& LayerOf(TComponent& c, int index = 0) {
    return *dynamic_cast<TCustomImage32&>(c).GetLayers()->GetItem(index);
}

// A case of an event of the image's first layer (its rubberband for index 1).
template <typename L, typename F>
EventCase OnLayer(std::string name, F L::*event, std::function<void(FreeKit&, TCustomImage32&)> fire, int index = 0) {
    return {std::move(name),
            [event, index](FreeKit& kit, TComponent& c) {
                dynamic_cast<L&>(LayerOf(c, index)).*event = Freeing<F>::Handler(kit);
            },
            [fire = std::move(fire)](FreeKit& kit, TComponent& c) { fire(kit, dynamic_cast<TCustomImage32&>(c)); }};
}

// Another picture, of 30 x 20 pixels, and its bytes as the bitmap's own
// stream and as a picture file.
const TBitmap32& Other() {
    static const std::unique_ptr<TBitmap32> other = [] {
        auto b = std::make_unique<TBitmap32>();
        b->SetSize(30, 20);
        b->Clear(0xFF204060u);
        return b;
    }();
    return *other;
}

void ReadOther(TBitmap32& bitmap) {
    TMemoryStream stream;
    Other().WriteData(stream);
    stream.SetPosition(0);
    bitmap.ReadData(stream);
}

void LoadOther(TBitmap32& bitmap) {
    TMemoryStream stream;
    Other().SaveToStream(stream);
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
}

std::vector<EventCase> ImageEvents() {
    using I = TCustomImage32;
    const auto setup = [](FreeKit&, I& c) { c.SetupBitmap(true, 0xFF000000u); };
    return {
        On<I>("OnMouseDown", &I::OnMouseDown, [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 5, 5)); }),
        On<I>("OnMouseDown on a layer", &I::OnMouseDown, [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 30, 30)); }),
        On<I>("OnMouseMove", &I::OnMouseMove, [](FreeKit& k, I& c) { k.MoveTo(c, OnImage(c, 5, 5)); }),
        On<I>("OnMouseUp", &I::OnMouseUp, [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 5, 5)); }),
        On<I>("OnPaintStage", &I::OnPaintStage,
              [](FreeKit& k, I& c) {
                  c.GetPaintStages()->Add()->Stage = PST_CUSTOM;
                  k.Paint();
              }),
        On<I>("OnChange (the picture changed)", &I::OnChange, [](FreeKit&, I& c) { c.Changed(); }),
        On<I>("OnBitmapResize (the picture resized)", &I::OnBitmapResize,
              [](FreeKit&, I& c) { c.GetBitmap()->SetSize(50, 50); }),
        On<I>("OnGDIOverlay", &I::OnGDIOverlay, [](FreeKit& k, I&) { k.Paint(); }),
        // The program gives the picture a new size or new pixels.
        On<I>("OnChange on the bitmap's SetSize", &I::OnChange, [](FreeKit&, I& c) { c.GetBitmap()->SetSize(50, 50); }),
        On<I>("OnChange on the bitmap's Assign", &I::OnChange, [](FreeKit&, I& c) { c.GetBitmap()->Assign(Other()); }),
        On<I>("OnChange on SetBitmap", &I::OnChange, [](FreeKit&, I& c) { c.SetBitmap(Other()); }),
        On<I>("OnChange on the bitmap's ReadData", &I::OnChange, [](FreeKit&, I& c) { ReadOther(*c.GetBitmap()); }),
        On<I>("OnChange on the bitmap's LoadFromStream", &I::OnChange,
              [](FreeKit&, I& c) { LoadOther(*c.GetBitmap()); }),
        On<I>("OnBitmapResize on the bitmap's Assign", &I::OnBitmapResize,
              [](FreeKit&, I& c) { c.GetBitmap()->Assign(Other()); }),
        On<I>("OnBitmapResize on the bitmap's ReadData", &I::OnBitmapResize,
              [](FreeKit&, I& c) { ReadOther(*c.GetBitmap()); }),
        On<I>("OnBitmapResize on SetupBitmap", &I::OnBitmapResize, setup),
        On<I>("OnChange on SetupBitmap", &I::OnChange, setup),
        OnLayer<TCustomLayer>("layer OnMouseDown", &TCustomLayer::OnMouseDown,
                              [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 30, 30)); }),
        OnLayer<TCustomLayer>("layer OnMouseUp", &TCustomLayer::OnMouseUp,
                              [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 30, 30)); }),
        OnLayer<TCustomLayer>("layer OnMouseMove", &TCustomLayer::OnMouseMove,
                              [](FreeKit& k, I& c) { k.Drag(c, OnImage(c, 30, 30), OnImage(c, 40, 40)); }),
        OnLayer<TCustomLayer>("layer OnHitTest", &TCustomLayer::OnHitTest,
                              [](FreeKit& k, I& c) { k.Click(c, OnImage(c, 30, 30)); }),
        OnLayer<TCustomLayer>("layer OnPaint", &TCustomLayer::OnPaint, [](FreeKit& k, I&) { k.Paint(); }),
    };
}

}  // namespace

std::vector<ControlRow> BitmapRows() {
    std::vector<EventCase> image = ImageEvents();
    std::vector<EventCase> view = ImageEvents();
    // The view's scroll bars: the lower arrow of the vertical one.
    view.push_back(On<TImgView32>("OnScroll", &TImgView32::OnScroll, [](FreeKit& k, TImgView32& c) {
        c.SetScaleMode(smScale);
        c.SetScale(4);
        k.Click(c, {c.GetWidth() - 6, c.GetHeight() - 24});
    }));
    // Settings that move the picture in the view.
    using V = TImgView32;
    for (EventCase& e : std::vector<EventCase>{
             On<V>("OnChange on SetScale", &V::OnChange, [](FreeKit&, V& c) { c.SetScale(2); }),
             On<V>("OnChange on SetCentered", &V::OnChange, [](FreeKit&, V& c) { c.SetCentered(!c.GetCentered()); }),
             On<V>("OnChange on SetOverSize", &V::OnChange, [](FreeKit&, V& c) { c.SetOverSize(10); }),
             On<V>("OnChange on SetScrollBarSize", &V::OnChange, [](FreeKit&, V& c) { c.SetScrollBarSize(20); }),
             On<V>("OnChange on a new size", &V::OnChange, [](FreeKit&, V& c) { c.SetBounds(10, 10, 200, 150); })})
        view.push_back(std::move(e));
    using R = TRangeBar;
    using G = TGaugeBar;
    return {
        {"TPaintBox32",
         [](FreeKit& k) -> TComponent* {
             auto* box = static_cast<TPaintBox32*>(Placed<TPaintBox32>(10, 10, 120, 80)(k));
             box->SetTabStop(true);
             box->SetOptions({pboAutoFocus});
             return box;
         },
         {On<TPaintBox32>("OnPaintBuffer", &TPaintBox32::OnPaintBuffer, [](FreeKit& k, TPaintBox32&) { k.Paint(); }),
          On<TPaintBox32>("OnGDIOverlay", &TPaintBox32::OnGDIOverlay, [](FreeKit& k, TPaintBox32&) { k.Paint(); })}},
        // The image's own mouse events take the place of the control's.
        {"TImage32", Picture<TImage32>(), image},
        {"TImgView32", Picture<TImgView32>(), view},
        {"TRubberbandLayer",
         Picture<TImage32>(true),
         {OnLayer<TRubberbandLayer>("OnUserChange", &TRubberbandLayer::OnUserChange,
                                    [](FreeKit& k, TCustomImage32& c) { k.Drag(c, OnImage(c, 40, 40), OnImage(c, 45, 45)); },
                                    1),
          OnLayer<TRubberbandLayer>("OnResizing", &TRubberbandLayer::OnResizing,
                                    [](FreeKit& k, TCustomImage32& c) { k.Drag(c, OnImage(c, 60, 60), OnImage(c, 70, 70)); },
                                    1)},
         {.keyboard = false, .mouse = false}},
        {"TRangeBar",
         [](FreeKit& k) -> TComponent* {
             auto* bar = static_cast<R*>(Placed<R>(10, 10, 150, 16)(k));
             bar->SetTabStop(true);
             bar->SetParams(100, 10);
             return bar;
         },
         {On<R>("OnChange", &R::OnChange, [](FreeKit& k, R& c) { k.Click(c, {c.GetWidth() - 4, 8}); }),
          On<R>("OnUserChange", &R::OnUserChange, [](FreeKit& k, R& c) { k.Click(c, {c.GetWidth() - 4, 8}); }),
          On<R>("OnUserChange held", &R::OnUserChange,
                [](FreeKit& k, R& c) {
                    k.Press(c, {c.GetWidth() - 4, 8});
                    k.Host().Advance(1000);
                }),
          On<R>("OnUserChange on a drag", &R::OnUserChange, [](FreeKit& k, R& c) { k.Drag(c, {25, 8}, {60, 8}); }),
          On<R>("OnMouseWheelDown", &R::OnMouseWheelDown, [](FreeKit& k, R& c) { k.Wheel(c, {60, 8}, -120); }),
          On<R>("OnMouseWheelUp", &R::OnMouseWheelUp, [](FreeKit& k, R& c) { k.Wheel(c, {60, 8}, 120); }),
          On<R>("OnEnter on Tab", &R::OnEnter, [](FreeKit& k, R&) { k.Key(VK_TAB); })},
         {.spot = [](TControl&) { return TPoint{60, 8}; }}},
        {"TGaugeBar",
         [](FreeKit& k) -> TComponent* {
             auto* bar = static_cast<G*>(Placed<G>(10, 10, 150, 16)(k));
             bar->SetTabStop(true);
             bar->SetMax(100);
             return bar;
         },
         {On<G>("OnChange", &G::OnChange, [](FreeKit& k, G& c) { k.Click(c, {c.GetWidth() - 4, 8}); }),
          On<G>("OnUserChange", &G::OnUserChange, [](FreeKit& k, G& c) { k.Click(c, {c.GetWidth() - 4, 8}); }),
          On<G>("OnUserChange on a drag", &G::OnUserChange, [](FreeKit& k, G& c) { k.Drag(c, {22, 8}, {60, 8}); }),
          On<G>("OnUserChange on the wheel", &G::OnUserChange, [](FreeKit& k, G& c) { k.Wheel(c, {60, 8}, 120); }),
          On<G>("OnEnter on Tab", &G::OnEnter, [](FreeKit& k, G&) { k.Key(VK_TAB); })},
         {.spot = [](TControl&) { return TPoint{60, 8}; }}},
    };
}

}  // namespace thorn::test
