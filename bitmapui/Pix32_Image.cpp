#include "bitmapui/Pix32_Image.h"

#include <algorithm>
#include <cmath>

#include "bitmap/Canvas.h"
#include "bitmap/Pix32_LowLevel.h"
#include "bitmap/Pix32_Transfer.h"
#include "gui/Application.h"
#include "platform/Filer.h"

namespace {

using thorn::RoundToInt;

// (value - shift) * scale / 65536 or value * scale / 65536 + shift, in 64
// bits so that large worlds at high zoom do not overflow; truncated toward
// zero as before, kept inside 32 bits.
int32_t Narrow(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Keeps a bitmap locked for a scope.
class BitmapLock {
public:
    explicit BitmapLock(TBitmap32& bitmap) : bitmap_(bitmap) { bitmap_.Lock(); }
    ~BitmapLock() { bitmap_.Unlock(); }
    BitmapLock(const BitmapLock&) = delete;
    BitmapLock& operator=(const BitmapLock&) = delete;

private:
    TBitmap32& bitmap_;
};

}  // namespace

// =============================================================== paint stages

TPaintStage* TPaintStages::Add() {
    stages_.emplace_back();
    return &stages_.back();
}

TPaintStage* TPaintStages::Insert(int index) {
    index = std::clamp(index, 0, GetCount());
    auto it = stages_.insert(stages_.begin() + index, TPaintStage{});
    return &*it;
}

void TPaintStages::Delete(int index) {
    if (index < 0 || index >= GetCount()) throw EListError("Invalid stage index");
    stages_.erase(stages_.begin() + index);
}

// ============================================================== the paint box

TCustomPaintBox32::TCustomPaintBox32() : buffer_(std::make_unique<TBitmap32>()) {
    // The buffer's own change events never fire.
    buffer_->BeginUpdate();
    SetBounds(GetLeft(), GetTop(), 192, 192);
}

TCustomPaintBox32::~TCustomPaintBox32() = default;

TRect TCustomPaintBox32::GetViewportRect() const { return {0, 0, GetWidth(), GetHeight()}; }

TRect TCustomPaintBox32::VisibleViewport() const {
    TRect result;
    if (!IntersectRect(result, GetVisibleClientRect(), GetViewportRect())) return {};
    return result;
}

void TCustomPaintBox32::ResizeBuffer() {
    // A handler draws at the control's own coordinates into a buffer of its
    // size; the control's own painting needs only the part that is seen.
    const TRect area = HandlersDrawInBuffer() ? GetViewportRect() : VisibleViewport();
    int newW = std::max(0, area.Width()), newH = std::max(0, area.Height());
    int w = buffer_->Width(), h = buffer_->Height();
    if (newW > w)
        w = newW + bufferOversize_;
    else if (w - bufferOversize_ > newW)
        w = newW;
    if (newH > h)
        h = newH + bufferOversize_;
    else if (h - bufferOversize_ > newH)
        h = newH;
    w = std::max(1, w);
    h = std::max(1, h);
    if (w != buffer_->Width() || h != buffer_->Height()) {
        BitmapLock lock(*buffer_);
        buffer_->SetSize(w, h);
        bufferValid_ = false;
    }
    TPoint origin{area.Left, area.Top};
    if (!(origin == bufferOrigin_)) {
        bufferOrigin_ = origin;
        bufferValid_ = false;
    }
}

void TCustomPaintBox32::ReleaseBuffer() {
    bufferValid_ = false;
    if (buffer_->Empty()) return;
    BitmapLock lock(*buffer_);
    buffer_->SetSize(0, 0);
}

void TCustomPaintBox32::Blit(const TRect& bufferRect) {
    // Only the visible viewport: the room the buffer keeps to spare, and the
    // part of a whole-control buffer that lies outside the parent, are not
    // shown.
    TRect visible = VisibleViewport();
    OffsetRect(visible, -bufferOrigin_.X, -bufferOrigin_.Y);
    TRect r;
    if (!IntersectRect(r, bufferRect, buffer_->BoundsRect()) || !IntersectRect(r, r, visible) || IsRectEmpty(r))
        return;
    BitmapLock lock(*buffer_);
    TRect dest = r;
    OffsetRect(dest, bufferOrigin_.X, bufferOrigin_.Y);
    Canvas().CopyRect(dest, *buffer_, r);
}

void TCustomPaintBox32::Paint() {
    // The handlers of the paint may free the control.
    thorn::ComponentRef<TCustomPaintBox32> self(this);
    if (UsesDirectPaint()) {
        PaintDirect();
    } else {
        paintedDirect_ = false;
        ResizeBuffer();
        if (!bufferValid_) DoPaintBuffer();
        if (!self) return;
        Blit(buffer_->BoundsRect());
    }
    if (self) DoPaintGDIOverlay();
}

void TCustomPaintBox32::PaintDirect() {
    paintedDirect_ = true;
    ReleaseBuffer();
    TRect visible = VisibleViewport();
    bufferOrigin_ = {visible.Left, visible.Top};
    TCanvas& canvas = Canvas();
    canvas.BindTarget();
    TBitmap32* target = canvas.GetTarget();
    if (!target || target->Empty() || IsRectEmpty(visible)) return;
    TPoint origin = canvas.GetOrigin();
    TRect clip = visible;
    OffsetRect(clip, origin.X, origin.Y);
    if (!IntersectRect(clip, clip, canvas.GetDeviceClip()) || IsRectEmpty(clip)) return;
    DoPaintDirect(*target, origin, clip);
}

void TCustomPaintBox32::Flush() {
    if (!IsShowing()) return;
    if (paintedDirect_)
        Canvas().BindTarget();  // outside a paint: the form shows the visible part again
    else
        Blit(buffer_->BoundsRect());
}

void TCustomPaintBox32::Flush(const TRect& srcRect) {
    if (!IsShowing()) return;
    if (paintedDirect_)
        Canvas().BindTarget();
    else
        Blit(srcRect);
}

void TCustomPaintBox32::SetKeepBuffer(bool value) {
    if (value == keepBuffer_) return;
    keepBuffer_ = value;
    Invalidate();
}

void TCustomPaintBox32::DoPaintBuffer() { bufferValid_ = true; }

void TCustomPaintBox32::DoPaintGDIOverlay() {
    if (OnGDIOverlay) OnGDIOverlay(this);
}

void TCustomPaintBox32::Invalidate() {
    bufferValid_ = false;
    TCustomControl::Invalidate();
}

void TCustomPaintBox32::SetBounds(int left, int top, int width, int height) {
    bufferValid_ = false;
    TCustomControl::SetBounds(left, top, width, height);
}

void TCustomPaintBox32::Loaded() {
    bufferValid_ = false;
    TCustomControl::Loaded();
}

void TCustomPaintBox32::Resize() {
    if (UsesDirectPaint())
        ReleaseBuffer();
    else
        ResizeBuffer();
    bufferValid_ = false;
    TCustomControl::Resize();
}

void TCustomPaintBox32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomPaintBox32> self(this);
    if (options_.Contains(pboAutoFocus) && CanFocus()) SetFocus();
    if (self) TCustomControl::MouseDown(button, shift, x, y);  // OnEnter may have freed it
}

void TPaintBox32::DoPaintBuffer() {
    // Not marked valid: the event paints on every paint.
    if (OnPaintBuffer) OnPaintBuffer(this);
}

// =========================================================== the image control

TCustomImage32::TCustomImage32()
    : bitmap_(std::make_unique<TBitmap32>()),
      layers_(std::make_unique<TLayerCollection>(this)),
      paintStages_(std::make_unique<TPaintStages>()) {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csOpaque, csDoubleClicks, csReplicatable});
    bitmap_->OnChange = [this](TObject*) { Changed(); };
    bitmap_->OnResize = [this](TObject*) { BitmapResized(); };
    layers_->SetCoordTransform(&cachedTransform_);
    layers_->OnChange = [this](TObject*) { Changed(); };
    layers_->OnAreaChanged = [this](TObject*, std::span<const TRect> areas) { LayerAreasChanged(areas); };
    layers_->OnGDIUpdate = [this](TObject*) {
        if (IsShowing()) Paint();
    };
    layers_->OwnerCursor = [this] { return GetCursor(); };
    InitDefaultStages();
}

TCustomImage32::~TCustomImage32() {
    BeginUpdate();
    bitmap_->OnChange = nullptr;
    bitmap_->OnResize = nullptr;
    paintStages_.reset();
    layers_.reset();
    bitmap_.reset();
}

void TCustomImage32::InitDefaultStages() {
    auto add = [&](bool design, bool run, uint32_t stage, uint32_t parameter = 0) {
        TPaintStage* s = paintStages_->Add();
        s->DsgnTime = design;
        s->RunTime = run;
        s->Stage = stage;
        s->Parameter = parameter;
    };
    add(true, true, PST_CLEAR_BACKGND);
    add(true, false, PST_CONTROL_FRAME);
    add(true, true, PST_DRAW_BITMAP);
    add(true, false, PST_BITMAP_FRAME);
    add(true, true, PST_DRAW_LAYERS, kLayerVisible);
}

void TCustomImage32::Loaded() {
    TCustomPaintBox32::Loaded();
    DoInitStages();
}

void TCustomImage32::DoInitStages() {
    if (OnInitStages) OnInitStages(this);
}

void TCustomImage32::BeginUpdate() { ++updateCount_; }

void TCustomImage32::EndUpdate() {
    if (updateCount_ <= 0) throw EInvalidOperation("Unpaired EndUpdate call");
    --updateCount_;
}

void TCustomImage32::Changed() {
    if (updateCount_ != 0) return;
    Invalidate();
    if (OnChange) OnChange(this);
}

void TCustomImage32::BitmapAreaChanged(const TRect& part) {
    if (updateCount_ != 0) return;
    if (!cacheValid_) return Changed();
    // A pixel more each way: the stretched pixels' rounding and the
    // resampling filter's reach.
    const TPoint topLeft = BitmapToControl({part.Left - 1, part.Top - 1});
    const TPoint bottomRight = BitmapToControl({part.Right + 1, part.Bottom + 1});
    const TRect area{topLeft.X, topLeft.Y, bottomRight.X + 1, bottomRight.Y + 1};
    LayerAreasChanged(std::span(&area, 1));
}

void TCustomImage32::LayerAreasChanged(std::span<const TRect> areas) {
    if (updateCount_ != 0) return;
    // With the picture's place stale, the layers' places may be too (and a
    // full repaint is due anyway).
    if (!cacheValid_) return Changed();
    SetBufferValid(false);
    const TRect client = GetClientRect();
    for (const TRect& area : areas) {
        TRect r;
        if (IntersectRect(r, area, client) && !IsRectEmpty(r)) InvalidateRect(r);
    }
    if (OnChange) OnChange(this);
}

void TCustomImage32::Invalidate() {
    SetBufferValid(false);
    cacheValid_ = false;
    TCustomPaintBox32::Invalidate();
}

void TCustomImage32::Resize() {
    cacheValid_ = false;
    TCustomPaintBox32::Resize();
}

// ---- settings

void TCustomImage32::SetBitmap(const TBitmap32& value) {
    cacheValid_ = false;
    bitmap_->Assign(value);
}

void TCustomImage32::SetBitmapAlign(TBitmapAlign value) {
    cacheValid_ = false;
    bitmapAlign_ = value;
    Changed();
}

void TCustomImage32::SetOffsetHorz(float value) {
    if (value == offsetHorz_) return;
    cacheValid_ = false;
    offsetHorz_ = value;
    Changed();
}

void TCustomImage32::SetOffsetVert(float value) {
    if (value == offsetVert_) return;
    cacheValid_ = false;
    offsetVert_ = value;
    Changed();
}

void TCustomImage32::SetScale(float value) {
    if (value < 0.001f) value = 0.001f;
    if (value == scale_) return;
    cacheValid_ = false;
    scale_ = value;
    // A view moves its picture, telling OnChange, which may free it.
    thorn::ComponentRef<TCustomImage32> self(this);
    DoScaleChange();
    if (self) Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode value) {
    if (value == scaleMode_) return;
    cacheValid_ = false;
    scaleMode_ = value;
    Changed();
}

void TCustomImage32::SetOnPixelCombine(TPixelCombineEvent value) {
    bitmap_->OnPixelCombine = std::move(value);
    Changed();
}

void TCustomImage32::SetupBitmap(bool doClear, TColor32 clearColor) {
    // The picture is told of its new size once it is cleared too: the
    // handlers (OnBitmapResize) may free the image.
    const bool resized = bitmap_->HoldingResize([&] {
        TRect viewport = GetViewportRect();
        bitmap_->SetSize(viewport.Width(), viewport.Height());
        if (doClear) bitmap_->Clear(clearColor);
    });
    thorn::ComponentRef<TCustomImage32> self(this);
    if (resized) bitmap_->Resized();
    if (!self) return;
    cacheValid_ = false;
    Changed();
}

void TCustomImage32::BitmapResized() {
    if (GetAutoSize()) {
        int w = bitmap_->Width(), h = bitmap_->Height();
        if (scaleMode_ == smScale) {
            w = RoundToInt(w * static_cast<double>(scale_));
            h = RoundToInt(h * static_cast<double>(scale_));
        }
        if (w >= 1 && h >= 1) SetBounds(GetLeft(), GetTop(), w, h);
    }
    thorn::ComponentRef<TCustomImage32> self(this);
    if (updateCount_ == 0 && OnBitmapResize) OnBitmapResize(this);
    if (!self) return;
    cacheValid_ = false;
    Invalidate();
}

bool TCustomImage32::CanAutoSize(int& newWidth, int& newHeight) {
    cacheValid_ = false;
    int w = bitmap_->Width(), h = bitmap_->Height();
    if (scaleMode_ == smScale) {
        w = RoundToInt(w * static_cast<double>(scale_));
        h = RoundToInt(h * static_cast<double>(scale_));
    }
    TAlign align = GetAlign();
    if (align != alTop && align != alBottom && align != alClient) newWidth = w;
    if (align != alLeft && align != alRight && align != alClient) newHeight = h;
    return true;
}

// ---- geometry

TSize TCustomImage32::GetBitmapSize() const {
    if (bitmap_->Empty() || GetWidth() == 0 || GetHeight() == 0) return {0, 0};
    int bw = bitmap_->Width(), bh = bitmap_->Height();
    TSize size;
    switch (scaleMode_) {
        case smNormal: size = {bw, bh}; break;
        case smStretch: size = {GetWidth(), GetHeight()}; break;
        case smScale:
            size = {RoundToInt(bw * static_cast<double>(scale_)), RoundToInt(bh * static_cast<double>(scale_))};
            break;
        case smResize: {
            float sx = static_cast<float>(GetWidth()) / bw;
            float sy = static_cast<float>(GetHeight()) / bh;
            if (sx >= sy)
                size = {RoundToInt(bw * static_cast<double>(sy)), GetHeight()};
            else
                size = {GetWidth(), RoundToInt(bh * static_cast<double>(sx))};
            break;
        }
    }
    if (size.cx < 1) size.cx = 0;
    if (size.cy < 1) size.cy = 0;
    return size;
}

TRect TCustomImage32::GetBitmapRect() const {
    if (bitmap_->Empty()) return {0, 0, 0, 0};
    TSize size = GetBitmapSize();
    TRect r{0, 0, size.cx, size.cy};
    if (bitmapAlign_ == baCenter)
        OffsetRect(r, (GetWidth() - size.cx) / 2, (GetHeight() - size.cy) / 2);
    else if (bitmapAlign_ == baCustom)
        OffsetRect(r, RoundToInt(offsetHorz_), RoundToInt(offsetVert_));
    return r;
}

void TCustomImage32::UpdateCache() {
    if (cacheValid_) return;
    cachedBitmapRect_ = GetBitmapRect();
    // An empty rectangle (an empty bitmap, or a control of no size) maps
    // with the unit transform rather than stopping.
    if (bitmap_->Empty() || IsRectEmpty(cachedBitmapRect_)) {
        cachedTransform_ = kUnitTransform;
    } else {
        int rw = cachedBitmapRect_.Width(), rh = cachedBitmapRect_.Height();
        int bw = bitmap_->Width(), bh = bitmap_->Height();
        cachedTransform_.ShiftX = cachedBitmapRect_.Left;
        cachedTransform_.ShiftY = cachedBitmapRect_.Top;
        cachedTransform_.ScaleX = MulDiv(rw, 65536, bw);
        cachedTransform_.ScaleY = MulDiv(rh, 65536, bh);
        cachedTransform_.RevScaleX = MulDiv(bw, 65536, rw);
        cachedTransform_.RevScaleY = MulDiv(bh, 65536, rh);
    }
    cacheValid_ = true;
}

TPoint TCustomImage32::BitmapToControl(TPoint p) {
    UpdateCache();
    const TCoordTransform& t = cachedTransform_;
    return {Narrow(int64_t{p.X} * t.ScaleX / 65536 + t.ShiftX), Narrow(int64_t{p.Y} * t.ScaleY / 65536 + t.ShiftY)};
}

TPoint TCustomImage32::ControlToBitmap(TPoint p) {
    UpdateCache();
    const TCoordTransform& t = cachedTransform_;
    return {Narrow((int64_t{p.X} - t.ShiftX) * t.RevScaleX / 65536),
            Narrow((int64_t{p.Y} - t.ShiftY) * t.RevScaleY / 65536)};
}

// ---- painting

void TCustomImage32::PaintTo(TBitmap32* dest, const TRect& destRect) {
    if (!dest) return;
    cachedBitmapRect_ = destRect;
    if (destRect.Width() >= 1 && destRect.Height() >= 1 && !bitmap_->Empty()) {
        int bw = bitmap_->Width(), bh = bitmap_->Height();
        cachedTransform_ = {MulDiv(destRect.Width(), 65536, bw),
                            MulDiv(destRect.Height(), 65536, bh),
                            destRect.Left,
                            destRect.Top,
                            MulDiv(bw, 65536, destRect.Width()),
                            MulDiv(bh, 65536, destRect.Height())};
    } else {
        cachedTransform_ = kUnitTransform;
    }
    cacheValid_ = true;
    paintToMode_ = true;
    TPoint savedOffset = layers_->GetPaintOffset();
    std::optional<TRect> savedClip = layers_->GetPaintClip();
    layers_->SetPaintOffset({});
    layers_->SetPaintClip(std::nullopt);
    struct Restore {
        TCustomImage32& image;
        TPoint offset;
        std::optional<TRect> clip;
        ~Restore() {
            image.paintToMode_ = false;
            image.cacheValid_ = false;
            image.layers_->SetPaintOffset(offset);
            image.layers_->SetPaintClip(clip);
        }
    } restore{*this, savedOffset, savedClip};
    for (int i = 0; i < paintStages_->GetCount(); ++i)
        if (paintStages_->Items(i)->RunTime) RunStage(dest, static_cast<uint32_t>(i));
}

void TCustomImage32::DoPaintBuffer() {
    UpdateCache();
    TBitmap32* buffer = GetBuffer();
    bool designing = GetComponentState().Contains(csDesigning);
    layers_->SetPaintOffset(GetBufferOrigin());
    // The stages paint only the part of the buffer that is shown: the room
    // it keeps to spare, and the part of a whole-control buffer outside the
    // parent, are painted again before they can be shown.
    TRect visible = VisibleViewport();
    OffsetRect(visible, -GetBufferOrigin().X, -GetBufferOrigin().Y);
    directClip_ = visible;
    layers_->SetPaintClip(directClip_);
    // A stage's handler may free the control.
    struct Restore {
        TCustomImage32& image;
        thorn::ComponentRef<TCustomImage32> alive;
        ~Restore() {
            if (!alive) return;
            image.directClip_.reset();
            image.layers_->SetPaintOffset({});
            image.layers_->SetPaintClip(std::nullopt);
        }
    } restore{*this, this};
    for (int i = 0; i < paintStages_->GetCount(); ++i) {
        const TPaintStage& stage = *paintStages_->Items(i);
        if ((stage.DsgnTime && designing) || (stage.RunTime && !designing)) RunStage(buffer, static_cast<uint32_t>(i));
        if (!restore.alive) return;
    }
    TCustomPaintBox32::DoPaintBuffer();
}

bool TCustomImage32::CanPaintDirect() const {
    if (!paintStages_ || !layers_ || GetComponentState().Contains(csDesigning)) return false;
    for (int i = 0; i < paintStages_->GetCount(); ++i) {
        const TPaintStage& stage = *paintStages_->Items(i);
        if (!stage.RunTime) continue;
        switch (stage.Stage) {
            case PST_CUSTOM:
                if (OnPaintStage) return false;
                break;
            case PST_CONTROL_FRAME:
            case PST_BITMAP_FRAME: return false;
            case PST_DRAW_LAYERS:
                for (int j = 0; j < layers_->GetCount(); ++j) {
                    const TCustomLayer* layer = layers_->GetItem(j);
                    if ((layer->GetLayerOptions() & stage.Parameter) && !layer->PaintsInsideClip()) return false;
                }
                break;
            default: break;
        }
    }
    return true;
}

void TCustomImage32::DoPaintDirect(TBitmap32& target, TPoint origin, const TRect& clip) {
    UpdateCache();
    directOffset_ = TPoint{-origin.X, -origin.Y};
    directClip_ = clip;
    layers_->SetPaintOffset(*directOffset_);
    layers_->SetPaintClip(clip);
    // A stage's handler may free the control.
    struct Restore {
        TCustomImage32& image;
        thorn::ComponentRef<TCustomImage32> alive;
        ~Restore() {
            if (!alive) return;
            image.directOffset_.reset();
            image.directClip_.reset();
            image.layers_->SetPaintOffset({});
            image.layers_->SetPaintClip(std::nullopt);
        }
    } restore{*this, this};
    for (int i = 0; restore.alive && i < paintStages_->GetCount(); ++i)
        if (paintStages_->Items(i)->RunTime) RunStage(&target, static_cast<uint32_t>(i));
}

bool TCustomImage32::HandlersDrawInBuffer() const {
    if (OnPaintStage)
        for (int i = 0; i < paintStages_->GetCount(); ++i)
            if (paintStages_->Items(i)->Stage == PST_CUSTOM) return true;
    for (int i = 0; i < layers_->GetCount(); ++i)
        if (layers_->GetItem(i)->OnPaint) return true;
    return false;
}

void TCustomImage32::DoPaintGDIOverlay() {
    for (int i = 0; i < layers_->GetCount(); ++i) {
        TCustomLayer* layer = layers_->GetItem(i);
        if (layer->GetLayerOptions() & kLayerGdiOverlay) layer->PaintGDI(&Canvas());
    }
    TCustomPaintBox32::DoPaintGDIOverlay();
}

TPoint TCustomImage32::PaintOffset() const {
    if (paintToMode_) return {};
    return directOffset_ ? *directOffset_ : GetBufferOrigin();
}

TRect TCustomImage32::PaintClip(const TBitmap32& dest) const {
    TRect r = dest.BoundsRect();
    if (!paintToMode_ && directClip_) IntersectRect(r, r, *directClip_);
    return r;
}

void TCustomImage32::RunStage(TBitmap32* dest, uint32_t index) {
    switch (paintStages_->Items(static_cast<int>(index))->Stage) {
        case PST_CUSTOM: ExecCustom(dest, index); break;
        case PST_CLEAR_BUFFER: ExecClearBuffer(dest, index); break;
        case PST_CLEAR_BACKGND: ExecClearBackgnd(dest, index); break;
        case PST_DRAW_BITMAP: ExecDrawBitmap(dest, index); break;
        case PST_DRAW_LAYERS: ExecDrawLayers(dest, index); break;
        case PST_CONTROL_FRAME: ExecControlFrame(dest, index); break;
        case PST_BITMAP_FRAME: ExecBitmapFrame(dest, index); break;
        default: break;
    }
}

void TCustomImage32::ExecCustom(TBitmap32* dest, uint32_t stageNum) {
    if (OnPaintStage) OnPaintStage(this, dest, stageNum);
}

void TCustomImage32::ClearWithin(TBitmap32* dest, TColor32 color) {
    if (!paintToMode_ && directClip_)
        dest->FillRectS(PaintClip(*dest), color);
    else
        dest->Clear(color);
}

void TCustomImage32::ExecClearBuffer(TBitmap32* dest, uint32_t) { ClearWithin(dest, Color32(GetColor())); }

void TCustomImage32::ExecClearBackgnd(TBitmap32* dest, uint32_t) {
    TColor32 c = Color32(GetColor());
    if (bitmap_->Empty() || bitmap_->DrawMode() != dmOpaque) {
        ClearWithin(dest, c);
        return;
    }
    const TRect& r = cachedBitmapRect_;
    int w = GetWidth(), h = GetHeight();
    if (r.Left < 1 && r.Top < 1 && r.Right >= w && (r.Bottom >= h || bitmapAlign_ == baTile)) return;
    TPoint o = PaintOffset();
    TRect clip = PaintClip(*dest);
    auto fill = [&](int x1, int y1, int x2, int y2) {
        TRect margin{x1 - o.X, y1 - o.Y, x2 - o.X, y2 - o.Y};
        if (IntersectRect(margin, margin, clip)) dest->FillRectS(margin, c);
    };
    fill(0, 0, w, r.Top);
    fill(0, r.Bottom, w, h);
    fill(0, r.Top, r.Left, r.Bottom);
    fill(r.Right, r.Top, w, r.Bottom);
}

void TCustomImage32::DrawBitmapInto(TBitmap32* dest, const TRect& r, const TRect& clip) {
    if (dest->Empty()) return;
    StretchTransfer(dest, r, clip, bitmap_.get(), bitmap_->BoundsRect(), bitmap_->StretchFilter(), bitmap_->DrawMode(),
                    bitmap_->OnPixelCombine);
    dest->Changed();
}

TBitmap32* TCustomImage32::GetBitmap() const {
    BringUpToDate(bitmap_->BoundsRect());
    return bitmap_.get();
}

void TCustomImage32::BringUpToDate(const TRect& part) const {
    if (!OnBitmapNeeded || bringingUpToDate_ || bitmap_->Empty()) return;
    TRect inside;
    if (!IntersectRect(inside, part, bitmap_->BoundsRect()) || IsRectEmpty(inside)) return;
    bringingUpToDate_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{bringingUpToDate_};
    thorn::WithinUpdate(*bitmap_, [&] { OnBitmapNeeded(const_cast<TCustomImage32*>(this), inside); });
}

TRect TCustomImage32::BitmapPartFor(const TRect& r, const TRect& clip) const {
    TRect shown;
    if (!IntersectRect(shown, r, clip) || IsRectEmpty(shown)) return {};
    const int64_t bw = bitmap_->Width(), bh = bitmap_->Height(), dw = r.Width(), dh = r.Height();
    // A filter reads a few pixels around the one it maps to, more where
    // the picture is shrunk.
    const int64_t reachX = 2 + 4 * ((bw + dw - 1) / dw), reachY = 2 + 4 * ((bh + dh - 1) / dh);
    auto low = [](int64_t offset, int64_t size, int64_t drawn) { return offset * size / drawn; };
    auto high = [](int64_t offset, int64_t size, int64_t drawn) { return (offset * size + drawn - 1) / drawn; };
    TRect part{static_cast<int32_t>(std::max<int64_t>(0, low(shown.Left - r.Left, bw, dw) - reachX)),
               static_cast<int32_t>(std::max<int64_t>(0, low(shown.Top - r.Top, bh, dh) - reachY)),
               static_cast<int32_t>(std::min(bw, high(shown.Right - r.Left, bw, dw) + reachX)),
               static_cast<int32_t>(std::min(bh, high(shown.Bottom - r.Top, bh, dh) + reachY))};
    return part;
}

void TCustomImage32::ExecDrawBitmap(TBitmap32* dest, uint32_t) {
    if (bitmap_->Empty() || IsRectEmpty(cachedBitmapRect_)) return;
    TPoint o = PaintOffset();
    TRect clip = PaintClip(*dest);
    TRect r = cachedBitmapRect_;
    OffsetRect(r, -o.X, -o.Y);
    BringUpToDate(bitmapAlign_ == baTile ? bitmap_->BoundsRect() : BitmapPartFor(r, clip));
    BitmapLock lock(*bitmap_);
    if (bitmapAlign_ != baTile) {
        DrawBitmapInto(dest, r, clip);
        return;
    }
    int w = cachedBitmapRect_.Right, h = cachedBitmapRect_.Bottom;
    if (w <= 0 || h <= 0 || IsRectEmpty(clip)) return;
    // The tiles that meet the clip, on the grid anchored at the control's corner.
    int i0 = std::max(0, (o.X + clip.Left) / w), j0 = std::max(0, (o.Y + clip.Top) / h);
    int i1 = (o.X + clip.Right) / w, j1 = (o.Y + clip.Bottom) / h;
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) {
            TRect tile = r;
            OffsetRect(tile, w * i, h * j);
            DrawBitmapInto(dest, tile, clip);
        }
}

void TCustomImage32::ExecDrawLayers(TBitmap32* dest, uint32_t stageNum) {
    uint32_t mask = paintStages_->Items(static_cast<int>(stageNum))->Parameter;
    // A layer's OnPaint may free the control.
    thorn::ComponentRef<TCustomImage32> self(this);
    for (int i = 0; self && i < layers_->GetCount(); ++i) {
        TCustomLayer* layer = layers_->GetItem(i);
        if (layer->GetLayerOptions() & mask) layer->DoPaint(dest);
    }
}

void TCustomImage32::ExecControlFrame(TBitmap32* dest, uint32_t) {
    TPoint o = PaintOffset();
    dest->Canvas()->DrawFocusRect({-o.X, -o.Y, GetWidth() - o.X, GetHeight() - o.Y});
}

void TCustomImage32::ExecBitmapFrame(TBitmap32* dest, uint32_t) {
    TPoint o = PaintOffset();
    TRect r = cachedBitmapRect_;
    OffsetRect(r, -o.X, -o.Y);
    dest->Canvas()->DrawFocusRect(r);
}

// ---- mouse

void TCustomImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomImage32> self(this);
    TCustomPaintBox32::MouseDown(button, shift, x, y);
    if (!self) return;
    if (GetTabStop() && CanFocus() && !Focused()) SetFocus();
    if (!self) return;  // OnEnter freed it
    TCustomLayer* layer = layers_->GetMouseEvents() ? layers_->MouseDown(button, shift, x, y) : nullptr;
    if (!self) return;
    if (button == mbLeft || layers_->GetMouseListener()) SetMouseCapture(true);
    MouseDown(button, shift, x, y, layer);
}

void TCustomImage32::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomImage32> self(this);
    TCustomPaintBox32::MouseMove(shift, x, y);
    if (!self) return;
    TCustomLayer* layer = layers_->GetMouseEvents() ? layers_->MouseMove(shift, x, y) : nullptr;
    if (self) MouseMove(shift, x, y, layer);
}

void TCustomImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomImage32> self(this);
    TCustomLayer* layer = layers_->GetMouseEvents() ? layers_->MouseUp(button, shift, x, y) : nullptr;
    if (!self) return;
    if (button == mbLeft && !layers_->GetMouseListener()) SetMouseCapture(false);
    MouseUp(button, shift, x, y, layer);
}

void TCustomImage32::MouseDown(TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y, layer);
}

void TCustomImage32::MouseMove(TShiftState shift, int x, int y, TCustomLayer* layer) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y, layer);
}

void TCustomImage32::MouseUp(TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y, layer);
}

void TCustomImage32::CMMouseLeave() {
    if (layers_->GetMouseEvents() && !layers_->GetMouseListener() && Screen) Screen->SetCursor(crDefault);
    TCustomPaintBox32::CMMouseLeave();
}

// ================================================================ bitmap lists

TBitmap32Item::TBitmap32Item() : bitmap_(std::make_unique<TBitmap32>()) {}

TBitmap32Item::~TBitmap32Item() = default;

void TBitmap32Item::Assign(const TPersistent& source) {
    if (auto* item = dynamic_cast<const TBitmap32Item*>(&source)) {
        bitmap_->Assign(*item->bitmap_);
        return;
    }
    TCollectionItem::Assign(source);
}

TBitmap32List::TBitmap32List()
    : bitmaps_(std::make_unique<TBitmap32Collection>(this, TCollection::ItemClass<TBitmap32Item>())) {}

TBitmap32List::~TBitmap32List() = default;

void TBitmap32List::WriteToStream(TStream& stream) const {
    int32_t count = bitmaps_->GetCount();
    stream.WriteBuffer(&count, sizeof count);
    for (int i = 0; i < count; ++i) bitmaps_->GetItem(i)->GetBitmap()->WriteData(stream);
}

void TBitmap32List::DefineProperties(TFiler& filer) {
    filer.DefineBinaryProperty(
        "Bitmaps", [this](TStream& stream) { ReadFromStream(stream); },
        [this](TStream& stream) { WriteToStream(stream); }, bitmaps_->GetCount() > 0);
}

void TBitmap32List::ReadFromStream(TStream& stream) {
    int32_t count = 0;
    stream.ReadBuffer(&count, sizeof count);
    // Every stored bitmap takes at least its two sizes.
    if (count < 0 || int64_t{count} * 8 > stream.Remaining()) throw EReadError("Bitmap list data is damaged");
    TBitmap32Collection read(this, TCollection::ItemClass<TBitmap32Item>());
    for (int32_t i = 0; i < count; ++i) read.Add()->GetBitmap()->ReadData(stream);
    bitmaps_->Assign(read);
}
