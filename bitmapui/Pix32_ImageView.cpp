// The scrolling image view: bar layout, ranges and offsets, centring, the
// margin around the picture and the size grip.
#include "bitmapui/Pix32_ImageView.h"

#include <cmath>

#include "gui/Application.h"
#include "gui/Edges.h"

namespace {

using thorn::RoundToInt;

// Runs with the view's scroll lock set, so that moving the bars from the
// view itself is not taken for the user's doing.
class ScrollLock {
public:
    explicit ScrollLock(bool& lock) : lock_(lock), old_(lock) { lock_ = true; }
    ~ScrollLock() { lock_ = old_; }
    ScrollLock(const ScrollLock&) = delete;
    ScrollLock& operator=(const ScrollLock&) = delete;

private:
    bool& lock_;
    bool old_;
};

}  // namespace

// ======================================================= scroll properties

TIVScrollProperties::TIVScrollProperties(TCustomImgView32& view) : view_(view) {
    Master = view.GetHScroll();
    Slave = view.GetVScroll();
}

TRBIncrement TIVScrollProperties::GetIncrement() const { return view_.GetHScroll()->GetIncrement(); }

void TIVScrollProperties::SetIncrement(TRBIncrement value) {
    view_.GetHScroll()->SetIncrement(value);
    view_.GetVScroll()->SetIncrement(value);
}

int32_t TIVScrollProperties::GetSize() const { return view_.ScrollBarSize(); }

void TIVScrollProperties::SetSize(int32_t value) { view_.SetScrollBarSize(value); }

void TIVScrollProperties::Assign(const TPersistent& source) {
    auto* other = dynamic_cast<const TIVScrollProperties*>(&source);
    if (!other) {
        TArrowBarAccess::Assign(source);
        return;
    }
    SetColor(other->GetColor());
    SetBackgnd(other->GetBackgnd());
    SetButtonSize(other->GetButtonSize());
    SetHandleColor(other->GetHandleColor());
    SetButtonColor(other->GetButtonColor());
    SetHighLightColor(other->GetHighLightColor());
    SetShadowColor(other->GetShadowColor());
    SetBorderColor(other->GetBorderColor());
    SetShowArrows(other->GetShowArrows());
    SetShowHandleGrip(other->GetShowHandleGrip());
    SetStyle(other->GetStyle());
    SetIncrement(other->GetIncrement());
    SetSize(other->GetSize());
}

// ================================================================ the view

TCustomImgView32::TCustomImgView32() {
    auto makeBar = [this](TScrollBarKind kind) {
        TCustomRangeBar* bar = thorn::Make<TCustomRangeBar>(*this);
        bar->SetBorderStyle(bsNone);
        bar->SetCentered(true);
        bar->SetKind(kind);
        bar->OnUserChange = [this](TObject* sender) { ScrollHandler(sender); };
        bar->SetParent(this);
        return bar;
    };
    hScroll_ = makeBar(sbHorizontal);
    vScroll_ = makeBar(sbVertical);
    SetScaleMode(smScale);
    SetBitmapAlign(baCustom);
    scrollBars_ = std::make_unique<TIVScrollProperties>(*this);
    AlignAll();
}

TCustomImgView32::~TCustomImgView32() = default;

int32_t TCustomImgView32::GetScrollBarSize() const {
    return scrollBarSize_ != 0 ? scrollBarSize_ : thorn::kScrollBarHeight;
}

// Thicker or thinner bars change the viewport: the picture's place follows.
void TCustomImgView32::SetScrollBarSize(int32_t value) {
    scrollBarSize_ = value;
    AlignAll();
    InvalidateCache();
    if (UpdateImageLives()) Invalidate();
}

TRect TCustomImgView32::GetViewportRect() const {
    int32_t s = GetScrollBarSize();
    return {0, 0, GetWidth() - s, GetHeight() - s};
}

void TCustomImgView32::AlignAll() {
    if (!hScroll_ || !vScroll_) return;
    TRect v = GetViewportRect();
    hScroll_->SetBoundsRect({v.Left, v.Bottom, v.Right, GetHeight()});
    vScroll_->SetBoundsRect({v.Right, v.Top, GetWidth(), v.Bottom});
    hScroll_->Invalidate();
    vScroll_->Invalidate();
}

void TCustomImgView32::UpdateScrollBars() {
    if (!hScroll_ || !vScroll_) return;
    TSize s = GetBitmapSize();
    int32_t extra = RoundToInt(2.0 * overSize_ * GetScale());
    hScroll_->SetRange(s.cx + extra);
    vScroll_->SetRange(s.cy + extra);
}

int32_t TCustomImgView32::ScaledMargin() const { return RoundToInt(overSize_ * static_cast<double>(GetScale())); }

void TCustomImgView32::UpdateImage() {
    if (!hScroll_ || !vScroll_) return;
    TSize s = GetBitmapSize();
    int32_t shift = ScaledMargin();
    TRect v = GetViewportRect();
    int32_t w = v.Width(), h = v.Height();
    thorn::WithinUpdate(*this, [&] {
        if (centered_ && s.cx + 2 * shift < w)
            SetOffsetHorz((w - s.cx) / 2.0f);
        else
            SetOffsetHorz(static_cast<float>(shift) - hScroll_->GetPosition());
        if (centered_ && s.cy + 2 * shift < h)
            SetOffsetVert((h - s.cy) / 2.0f);
        else
            SetOffsetVert(static_cast<float>(shift) - vScroll_->GetPosition());
        InvalidateCache();
    });
    Changed();
}

void TCustomImgView32::Scroll(int32_t Dx, int32_t Dy) {
    {
        ScrollLock lock(scrollLock_);
        hScroll_->SetPosition(hScroll_->GetPosition() + Dx);
        vScroll_->SetPosition(vScroll_->GetPosition() + Dy);
    }
    UpdateImage();
}

void TCustomImgView32::ScrollToCenter(int32_t X, int32_t Y) {
    {
        ScrollLock lock(scrollLock_);
        AlignAll();
        TRect v = GetViewportRect();
        // The bars run over the margin too: position 0 shows the margin's
        // edge, so the point stands the margin further on.
        const auto shift = static_cast<float>(ScaledMargin());
        hScroll_->SetPosition(X * GetScale() + shift - v.Width() / 2.0f);
        vScroll_->SetPosition(Y * GetScale() + shift - v.Height() / 2.0f);
    }
    UpdateImage();
}

void TCustomImgView32::DoScroll() {
    if (OnScroll) OnScroll(this);
}

void TCustomImgView32::ScrollHandler(TObject* Sender) {
    if (scrollLock_) return;
    if (auto* bar = dynamic_cast<TControl*>(Sender)) bar->Repaint();
    // OnChange and OnScroll may free the view.
    thorn::ComponentRef<TCustomImgView32> self(this);
    UpdateImage();
    if (self) DoScroll();
    if (self) Repaint();
}

void TCustomImgView32::SetCentered(bool value) {
    InvalidateCache();
    centered_ = value;
    hScroll_->SetCentered(value);
    vScroll_->SetCentered(value);
    UpdateScrollBars();
    if (!UpdateImageLives()) return;
    if (value)
        ScrollToCenter(GetBitmap()->Width() / 2, GetBitmap()->Height() / 2);
    else
        ScrollToCenter(0, 0);
}

// The margin changes the bars' ranges and the picture's place at once.
void TCustomImgView32::SetOverSize(int32_t value) {
    if (value == overSize_) return;
    overSize_ = value;
    UpdateScrollBars();
    if (UpdateImageLives()) Invalidate();
}

void TCustomImgView32::SetSizeGrip(TSizeGripStyle value) {
    if (value == sizeGrip_) return;
    sizeGrip_ = value;
    Invalidate();
}

void TCustomImgView32::BitmapResized() {
    // OnBitmapResize and OnChange may free the view.
    thorn::ComponentRef<TCustomImgView32> self(this);
    TCustomImage32::BitmapResized();
    if (!self) return;
    UpdateScrollBars();
    if (centered_) {
        ScrollToCenter(GetBitmap()->Width() / 2, GetBitmap()->Height() / 2);
    } else {
        {
            ScrollLock lock(scrollLock_);
            hScroll_->SetPosition(0);
            vScroll_->SetPosition(0);
        }
        UpdateImage();
    }
}

void TCustomImgView32::DoScaleChange() {
    InvalidateCache();
    UpdateScrollBars();
    if (UpdateImageLives()) Invalidate();
}

void TCustomImgView32::Resize() {
    AlignAll();
    InvalidateCache();
    UpdateScrollBars();
    if (!UpdateImageLives()) return;
    Invalidate();
    TCustomImage32::Resize();
}

bool TCustomImgView32::UpdateImageLives() {
    // The picture's move is told (OnChange), which may free the view.
    thorn::ComponentRef<TCustomImgView32> self(this);
    UpdateImage();
    return static_cast<bool>(self);
}

void TCustomImgView32::Loaded() {
    AlignAll();
    Invalidate();
    UpdateScrollBars();
    // The picture's move is told (OnChange), which may free the view.
    thorn::ComponentRef<TCustomImgView32> self(this);
    if (centered_) ScrollToCenter(GetBitmap()->Width() / 2, GetBitmap()->Height() / 2);
    if (self) TCustomImage32::Loaded();
}

// ---- size grip

bool TCustomImgView32::IsSizeGripVisible() const {
    switch (sizeGrip_) {
    case sgAlways:
        return true;
    case sgNone:
        return false;
    case sgAuto:
        break;
    }
    // Only where the view fills its window: aligned to the client area, and
    // so is every parent up to the form.
    if (GetAlign() != alClient) return false;
    for (const TControl* p = GetParent(); p && !dynamic_cast<const TCustomForm*>(p); p = p->GetParent())
        if (p->GetAlign() != alClient) return false;
    return true;
}

TRect TCustomImgView32::GetSizeGripRect() const {
    int32_t s = GetScrollBarSize();
    TRect client = GetClientRect();
    return {client.Right - s, client.Bottom - s, client.Right, client.Bottom};
}

bool TCustomImgView32::InSizeGrip(int x, int y) const {
    return IsSizeGripVisible() && PtInRect(GetSizeGripRect(), {x, y});
}

void TCustomImgView32::DoDrawSizeGrip(TRect R) {
    Canvas().FillColor(R, clBtnFace);
    DrawFrameControl(Canvas(), R, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TCustomImgView32::Paint() {
    if (IsSizeGripVisible())
        DoDrawSizeGrip(GetSizeGripRect());
    else
        Canvas().FillColor(GetSizeGripRect(), clBtnFace);
    TCustomImage32::Paint();
}

// A press on the grip resizes the form the view sits on, by the mouse's
// travel, until the button is released.
void TCustomImgView32::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomForm* form = dynamic_cast<TCustomForm*>(GetParent());
    if (button == mbLeft && form && InSizeGrip(x, y)) {
        gripDragging_ = true;
        gripStart_ = ClientToScreen({x, y});
        gripFormSize_ = {form->GetWidth(), form->GetHeight()};
        return;
    }
    TCustomImage32::MouseDown(button, shift, x, y);
}

void TCustomImgView32::MouseMove(TShiftState shift, int x, int y) {
    if (gripDragging_) {
        TCustomForm* form = dynamic_cast<TCustomForm*>(GetParent());
        if (!form) return;
        TPoint p = ClientToScreen({x, y});
        form->SetBounds(form->GetLeft(), form->GetTop(), gripFormSize_.cx + p.X - gripStart_.X,
                        gripFormSize_.cy + p.Y - gripStart_.Y);
        return;
    }
    thorn::ComponentRef<TCustomImgView32> self(this);
    TCustomImage32::MouseMove(shift, x, y);
    if (!self || !Screen) return;
    if (InSizeGrip(x, y)) {
        Screen->SetCursor(crSizeNWSE);
        gripCursor_ = true;
    } else if (gripCursor_) {
        gripCursor_ = false;
        // Over the picture the layers choose the cursor themselves.
        if (!GetLayers()->GetMouseEvents()) Screen->SetCursor(crDefault);
    }
}

void TCustomImgView32::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (gripDragging_) {
        if (button == mbLeft) {
            gripDragging_ = false;
            SetMouseCapture(false);
        }
        return;
    }
    TCustomImage32::MouseUp(button, shift, x, y);
}

void TCustomImgView32::CMMouseLeave() {
    if (gripCursor_ && Screen) Screen->SetCursor(crDefault);
    gripCursor_ = false;
    TCustomImage32::CMMouseLeave();
}
