// The rubberband layer: hit zones of its frame and handles, dragging within
// size limits, a following child layer, and its painting.
#include "bitmap/Pix32_LayersRubberband.h"

#include <cstdlib>

#include "gui/Application.h"

namespace {

void SetScreenCursor(TCursor cursor) {
    if (Screen) Screen->SetCursor(cursor);
}

TCursor CursorOf(TDragState state, TCursor own) {
    switch (state) {
    case dsMove:
        return own;
    case dsSizeL:
    case dsSizeR:
        return crSizeWE;
    case dsSizeT:
    case dsSizeB:
        return crSizeNS;
    case dsSizeTL:
    case dsSizeBR:
        return crSizeNWSE;
    case dsSizeTR:
    case dsSizeBL:
        return crSizeNESW;
    case dsNone:
        break;
    }
    return crDefault;
}

bool MovesLeft(TDragState s) { return s == dsSizeL || s == dsSizeTL || s == dsSizeBL; }
bool MovesRight(TDragState s) { return s == dsSizeR || s == dsSizeTR || s == dsSizeBR; }
bool MovesTop(TDragState s) { return s == dsSizeT || s == dsSizeTL || s == dsSizeTR; }
bool MovesBottom(TDragState s) { return s == dsSizeB || s == dsSizeBL || s == dsSizeBR; }

// Keeps the span lo..hi within min..max by moving the edge that was dragged
// (fixed is the one that stays). A maximum below the minimum is no limit.
void Limit(float& moved, float fixed, bool movedIsLow, float min, float max) {
    float size = movedIsLow ? fixed - moved : moved - fixed;
    float sign = movedIsLow ? -1.0f : 1.0f;
    if (size < min) moved = fixed + sign * min;
    if (max >= min && size > max) moved = fixed + sign * max;
}

}  // namespace

TRubberbandLayer::TRubberbandLayer() { SetLayerOptions(kLayerVisible | kLayerMouseEvents); }

TRubberbandLayer::~TRubberbandLayer() = default;

// ---- settings

void TRubberbandLayer::SetChildLayer(TPositionedLayer* value) {
    if (childLayer_) childLayer_->RemoveNotification(this);
    childLayer_ = value;
    if (value) {
        SetLocation(value->GetLocation());
        SetScaled(value->GetScaled());
        value->AddNotification(this);
        SetLayerOptions(GetLayerOptions() | kLayerNoUpdate);
    } else {
        SetLayerOptions(GetLayerOptions() & ~kLayerNoUpdate);
    }
}

void TRubberbandLayer::Notification(TCustomLayer* layer) {
    if (layer != childLayer_) return;
    childLayer_ = nullptr;
    SetLayerOptions(GetLayerOptions() & ~kLayerNoUpdate);
}

void TRubberbandLayer::DoSetLocation(const TFloatRect& value) {
    TPositionedLayer::DoSetLocation(value);
    UpdateChildLayer();
}

void TRubberbandLayer::UpdateChildLayer() {
    if (childLayer_) childLayer_->SetLocation(GetLocation());
}

// A new look is shown even while a child layer keeps this one's own
// changes from being reported.
void TRubberbandLayer::Restyled() {
    TLayerCollection* collection = GetLayerCollection();
    if (!collection) return;
    if (GetVisible())
        collection->Changed();
    else
        collection->GDIUpdate();
}

void TRubberbandLayer::SetHandleFrame(TColor value) {
    if (value == handleFrame_) return;
    handleFrame_ = value;
    Restyled();
}

void TRubberbandLayer::SetHandleFill(TColor value) {
    if (value == handleFill_) return;
    handleFill_ = value;
    Restyled();
}

void TRubberbandLayer::SetHandles(TRBHandles value) {
    if (value == handles_) return;
    handles_ = value;
    Restyled();
}

void TRubberbandLayer::SetHandleSize(int32_t value) {
    if (value < 1) value = 1;
    if (value == handleSize_) return;
    handleSize_ = value;
    Restyled();
}

void TRubberbandLayer::AssignTo(TPersistent& dest) const {
    TPositionedLayer::AssignTo(dest);
    if (auto* other = dynamic_cast<TRubberbandLayer*>(&dest)) {
        other->handleFrame_ = handleFrame_;
        other->handleFill_ = handleFill_;
        other->handles_ = handles_;
        other->handleSize_ = handleSize_;
        other->minWidth_ = minWidth_;
        other->minHeight_ = minHeight_;
        other->maxWidth_ = maxWidth_;
        other->maxHeight_ = maxHeight_;
        other->OnUserChange = OnUserChange;
        other->OnResizing = OnResizing;
    }
}

// ---- zones

TRect TRubberbandLayer::FrameRect() const {
    TRect r = MakeRect(GetAdjustedLocation(), rrClosest);
    --r.Right;
    --r.Bottom;
    return r;
}

TDragState TRubberbandLayer::GetDragState(int X, int Y) {
    TRect r = FrameRect();
    int64_t threshold = int64_t{handleSize_} + 1;
    auto near = [&](int64_t a, int64_t b) { return std::llabs(a - b) <= threshold; };
    bool left = near(X, r.Left), right = near(X, r.Right), middleX = near(X, (int64_t{r.Left} + r.Right) / 2);
    bool top = near(Y, r.Top), bottom = near(Y, r.Bottom), middleY = near(Y, (int64_t{r.Top} + r.Bottom) / 2);
    if (handles_.Contains(rhCorners)) {
        if (right && bottom) return dsSizeBR;
        if (left && bottom) return dsSizeBL;
        if (right && top) return dsSizeTR;
        if (left && top) return dsSizeTL;
    }
    if (handles_.Contains(rhSides)) {
        if (right && middleY) return dsSizeR;
        if (bottom && middleX) return dsSizeB;
        if (left && middleY) return dsSizeL;
        if (top && middleX) return dsSizeT;
    }
    if (handles_.Contains(rhCenter) && X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom) return dsMove;
    return dsNone;
}

bool TRubberbandLayer::DoHitTest(int x, int y) { return GetDragState(x, y) != dsNone; }

// ---- mouse

void TRubberbandLayer::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (!isDragging_) {
        dragState_ = GetDragState(x, y);
        isDragging_ = dragState_ != dsNone;
        oldLocation_ = GetLocation();
        TFloatRect adjusted = GetAdjustedLocation();
        mouseShift_ = dragState_ == dsMove ? TFloatPoint{x - adjusted.Left, y - adjusted.Top} : TFloatPoint{};
    }
    TPositionedLayer::MouseDown(button, shift, x, y);
}

void TRubberbandLayer::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    isDragging_ = false;
    TPositionedLayer::MouseUp(button, shift, x, y);
}

void TRubberbandLayer::MouseMove(TShiftState shift, int x, int y) {
    if (!isDragging_) {
        dragState_ = GetDragState(x, y);
        SetScreenCursor(CursorOf(dragState_, GetCursor()));
    } else {
        float mx = x - mouseShift_.X, my = y - mouseShift_.Y;
        bool mapped = true;
        if (GetScaled()) {
            // From control pixels back onto the layer's own coordinates.
            TFloatRect adjusted = GetAdjustedLocation(), location = GetLocation();
            if (IsRectEmptyF(adjusted)) {
                mapped = false;
            } else {
                mx = (mx - adjusted.Left) * (location.Right - location.Left) / (adjusted.Right - adjusted.Left) +
                     location.Left;
                my = (my - adjusted.Top) * (location.Bottom - location.Top) / (adjusted.Bottom - adjusted.Top) +
                     location.Top;
            }
        }
        if (mapped) {
            TFloatRect r = oldLocation_;
            if (dragState_ == dsMove) {
                r = {mx, my, mx + (r.Right - r.Left), my + (r.Bottom - r.Top)};
            } else {
                if (MovesLeft(dragState_)) {
                    r.Left = mx;
                    Limit(r.Left, r.Right, true, minWidth_, maxWidth_);
                }
                if (MovesRight(dragState_)) {
                    r.Right = mx;
                    Limit(r.Right, r.Left, false, minWidth_, maxWidth_);
                }
                if (MovesTop(dragState_)) {
                    r.Top = my;
                    Limit(r.Top, r.Bottom, true, minHeight_, maxHeight_);
                }
                if (MovesBottom(dragState_)) {
                    r.Bottom = my;
                    Limit(r.Bottom, r.Top, false, minHeight_, maxHeight_);
                }
            }
            // The handlers may free the control holding the layer.
            const thorn::ComponentWatch holder = WatchHolder();
            DoResizing(oldLocation_, r, dragState_, shift);
            if (holder.Freed()) return;
            if (!(r == GetLocation())) {
                SetLocation(r);
                if (holder.Freed()) return;
                if (OnUserChange) OnUserChange(this);
                if (holder.Freed()) return;
            }
        }
    }
    // The cursor chosen above stays: only the event of the base runs.
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TRubberbandLayer::DoResizing(const TFloatRect& OldLocation, TFloatRect& NewLocation, TDragState DragState,
                                  TShiftState Shift) {
    if (OnResizing) OnResizing(this, OldLocation, NewLocation, DragState, Shift);
}

// ---- painting

void TRubberbandLayer::Paint(TBitmap32* buffer) {
    TRect r = FrameRect();
    if (handles_.Contains(rhFrame)) {
        static constexpr TColor32 pattern[] = {clWhite32, clWhite32, clBlack32, clBlack32};
        buffer->SetStipple(pattern, 3);
        buffer->SetStippleStep(1);
        // The frame's lines run through the inclusive corners.
        buffer->FrameRectTSP(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    }
    TColor32 fill = Color32(handleFill_), frame = Color32(handleFrame_);
    // A handle is a square of side 2 * HandleSize + 1 centred on its point.
    auto handle = [&](int32_t x, int32_t y) {
        TRect h{x - handleSize_, y - handleSize_, x + handleSize_ + 1, y + handleSize_ + 1};
        buffer->FillRectS(h, fill);
        buffer->FrameRectS(h, frame);
    };
    if (handles_.Contains(rhCorners)) {
        handle(r.Left, r.Top);
        handle(r.Right, r.Top);
        handle(r.Right, r.Bottom);
        handle(r.Left, r.Bottom);
    }
    if (handles_.Contains(rhSides)) {
        int32_t cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
        handle(cx, r.Top);
        handle(r.Right, cy);
        handle(cx, r.Bottom);
        handle(r.Left, cy);
    }
}
