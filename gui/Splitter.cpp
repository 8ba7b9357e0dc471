#include "gui/Splitter.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/Edges.h"
#include "gui/SizeConstraints.h"
#include "gui/SizingLine.h"

TSplitter::TSplitter() {
    SetCursor(crHSplit);
    SetBounds(0, 0, 3, 100);
    SetAlign(alLeft);
}

TSplitter::~TSplitter() {
    if (control_) thorn::HideSizingLine();
}

void TSplitter::SetMinSize(int value) { minSize_ = std::max(1, value); }

void TSplitter::SetBeveled(bool value) {
    if (value == beveled_) return;
    beveled_ = value;
    Invalidate();
}

void TSplitter::RequestAlign() {
    if (GetCursor() == crHSplit || GetCursor() == crVSplit) {
        bool across = GetAlign() == alTop || GetAlign() == alBottom;
        SetCursor(across ? crVSplit : crHSplit);
    }
    TGraphicControl::RequestAlign();
}

void TSplitter::Paint() {
    TCanvas& canvas = Canvas();
    TRect r = GetClientRect();
    canvas.FillColor(r, GetColor());
    if (beveled_) {
        if (Vertical())
            InflateRect(r, 0, -1);
        else
            InflateRect(r, -1, 0);
        DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT);
    }
    if (OnPaint) OnPaint(this);
}

// ---- the control it resizes

TControl* TSplitter::FindControl() const {
    const TWinControl* parent = GetParent();
    if (!parent || GetAlign() == alNone || GetAlign() == alClient) return nullptr;
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* c = parent->GetControl(i);
        if (c == this || !c->GetVisible() || c->GetAlign() != GetAlign()) continue;
        bool touches = false;
        switch (GetAlign()) {
            case alLeft: touches = c->GetLeft() + c->GetWidth() == GetLeft(); break;
            case alRight: touches = c->GetLeft() == GetLeft() + GetWidth(); break;
            case alTop: touches = c->GetTop() + c->GetHeight() == GetTop(); break;
            case alBottom: touches = c->GetTop() == GetTop() + GetHeight(); break;
            default: break;
        }
        if (touches) return c;
    }
    return nullptr;
}

int TSplitter::SizeOf(const TControl& control) const { return Vertical() ? control.GetWidth() : control.GetHeight(); }

int TSplitter::Along(int x, int y) const {
    TPoint p = ClientToParent({x, y});
    return Vertical() ? p.X : p.Y;
}

// ---- dragging

std::optional<TSplitter::SizeRange> TSplitter::GetSizeRange() const {
    TControl* control = FindControl();
    if (!control) return std::nullopt;
    // What fills the rest keeps at least MinSize: the room is the parent's
    // less every control aligned along this axis, the control's own size
    // given back.
    TRect client = GetParent()->GetClientRect();
    int room = Vertical() ? client.Width() : client.Height();
    for (int i = 0; i < GetParent()->GetControlCount(); ++i) {
        const TControl* c = GetParent()->GetControl(i);
        bool sameAxis = Vertical() ? c->GetAlign() == alLeft || c->GetAlign() == alRight
                                   : c->GetAlign() == alTop || c->GetAlign() == alBottom;
        if (c->GetVisible() && sameAxis) room -= SizeOf(*c);
    }
    SizeRange range;
    range.Highest = room - minSize_ + SizeOf(*control);
    range.Lowest = minSize_;
    TSizeConstraints& limits = control->Constraints();
    int ownMin = Vertical() ? limits.GetMinWidth() : limits.GetMinHeight();
    int ownMax = Vertical() ? limits.GetMaxWidth() : limits.GetMaxHeight();
    range.Lowest = std::max(range.Lowest, ownMin);
    if (ownMax > 0) range.Highest = std::min(range.Highest, ownMax);
    range.Highest = std::max(range.Highest, range.Lowest);
    // A control that must keep a size of its own cannot be folded away.
    range.Folds = autoSnap_ && ownMin == 0;
    return range;
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TSplitter> self(this);
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!self || button != mbLeft) return;
    const std::optional<SizeRange> range = GetSizeRange();
    if (!range) return;
    control_ = FindControl();
    range_ = *range;
    downAlong_ = Along(x, y);
    startSize_ = newSize_ = SizeOf(*control_.Get());
    ShowLine();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TSplitter> self(this);
    TGraphicControl::MouseMove(shift, x, y);
    if (!self || !control_) return;
    MoveSplit(Along(x, y));
}

void TSplitter::MoveSplit(int along) {
    int delta = along - downAlong_;
    bool grows = GetAlign() == alLeft || GetAlign() == alTop;
    int size = startSize_ + (grows ? delta : -delta);
    if (size < range_.Lowest)
        size = range_.Folds && size < range_.Lowest / 2 ? 0 : range_.Lowest;
    else if (size > range_.Highest)
        size = range_.Highest;
    thorn::ComponentRef<TSplitter> self(this);
    if (size == newSize_ || !DoCanResize(size) || !self) return;
    newSize_ = size;
    if (resizeStyle_ == rsUpdate)
        UpdateControlSize();
    else
        ShowLine();
}

bool TSplitter::DoCanResize(int& newSize) {
    bool accept = true;
    if (OnCanResize) OnCanResize(this, newSize, accept);
    return accept;
}

void TSplitter::ShowLine() {
    TControl* control = control_.Get();
    TCustomForm* form = GetParentForm();
    TPoint origin;
    if (!control || !form || (resizeStyle_ != rsPattern && resizeStyle_ != rsLine) ||
        !thorn::ControlAccess::ClientOriginInForm(*GetParent(), origin))
        return;
    // Where the splitter will stand once the control has its new size.
    TRect r = GetBoundsRect();
    switch (GetAlign()) {
        case alLeft: r.Left = control->GetLeft() + newSize_, r.Right = r.Left + GetWidth(); break;
        case alRight: r.Right = control->GetLeft() + control->GetWidth() - newSize_, r.Left = r.Right - GetWidth(); break;
        case alTop: r.Top = control->GetTop() + newSize_, r.Bottom = r.Top + GetHeight(); break;
        case alBottom: r.Bottom = control->GetTop() + control->GetHeight() - newSize_, r.Top = r.Bottom - GetHeight(); break;
        default: break;
    }
    OffsetRect(r, origin.X, origin.Y);
    thorn::ShowSizingLine(*form, r,
                          resizeStyle_ == rsPattern ? thorn::SizingLineStyle::Pattern : thorn::SizingLineStyle::Solid);
}

void TSplitter::UpdateControlSize() {
    TControl* control = control_.Get();
    if (!control || newSize_ == SizeOf(*control)) return;
    // Aligned to the right or bottom, the control keeps its far edge.
    switch (GetAlign()) {
        case alLeft: control->SetWidth(newSize_); break;
        case alTop: control->SetHeight(newSize_); break;
        case alRight:
            control->SetBounds(control->GetLeft() + control->GetWidth() - newSize_, control->GetTop(), newSize_,
                               control->GetHeight());
            break;
        case alBottom:
            control->SetBounds(control->GetLeft(), control->GetTop() + control->GetHeight() - newSize_,
                               control->GetWidth(), newSize_);
            break;
        default: break;
    }
    if (OnMoved) OnMoved(this);
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TSplitter> self(this);
    if (button == mbLeft && control_) {
        thorn::HideSizingLine();
        if (resizeStyle_ != rsUpdate) UpdateControlSize();
        if (!self) return;
        control_ = nullptr;
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSplitter::StopSizing() {
    if (!control_) return;
    thorn::HideSizingLine();
    control_ = nullptr;
}

void TSplitter::CMCancelMode() {
    StopSizing();
    TGraphicControl::CMCancelMode();
}
