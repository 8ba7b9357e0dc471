#include "gui/StatusBar.h"

#include <algorithm>

#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "platform/Text.h"

namespace {

constexpr int kTopMargin = 2;  // above the panels
constexpr int kPanelGap = 2;   // between two panels
constexpr int kGripSize = 16;

}  // namespace

// ================================================================ TStatusPanel

void TStatusPanel::SetText(const std::string& value) {
    if (value == text_) return;
    text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(int value) {
    value = std::max(0, value);
    if (value == width_) return;
    width_ = value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
    if (value == bevel_) return;
    bevel_ = value;
    Changed(false);
}

void TStatusPanel::Assign(const TPersistent& source) {
    const auto* other = dynamic_cast<const TStatusPanel*>(&source);
    if (!other) {
        TCollectionItem::Assign(source);
        return;
    }
    text_ = other->text_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    bevel_ = other->bevel_;
    Changed(true);
}

// =============================================================== TStatusPanels

TStatusPanels::TStatusPanels(TStatusBar& bar) : TOwnedCollection(&bar, ItemClass<TStatusPanel>()), bar_(bar) {}

void TStatusPanels::Update(TCollectionItem* item) {
    TOwnedCollection::Update(item);
    if (auto* panel = dynamic_cast<TStatusPanel*>(item))
        bar_.InvalidateRect(bar_.GetPanelRect(panel->GetIndex()));
    else
        bar_.Invalidate();
}

// ================================================================== TStatusBar

TStatusBar::TStatusBar() : panels_(std::make_unique<TStatusPanels>(*this)) {
    SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool value) {
    if (value == simplePanel_) return;
    simplePanel_ = value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& value) {
    if (value == simpleText_) return;
    simpleText_ = value;
    if (simplePanel_) Invalidate();
}

void TStatusBar::SetSizeGrip(bool value) {
    if (value == sizeGrip_) return;
    sizeGrip_ = value;
    Invalidate();
}

bool TStatusBar::IsGripShown() const {
    const TCustomForm* form = GetParentForm();
    if (!sizeGrip_ || !form || form->GetWindowState() != wsNormal) return false;
    return form->GetBorderStyle() == bsSizeable || form->GetBorderStyle() == bsSizeToolWin;
}

TRect TStatusBar::GripRect() const {
    TRect client = GetClientRect();
    return {client.Right - kGripSize, std::max(0, client.Bottom - kGripSize), client.Right, client.Bottom};
}

TRect TStatusBar::GetPanelRect(int index) const {
    TRect client = GetClientRect();
    int end = client.Right - (IsGripShown() ? kGripSize : 0);
    if (simplePanel_) return {0, kTopMargin, end, client.Bottom};
    int count = panels_->GetCount();
    if (index < 0 || index >= count) return {};
    int left = 0;
    for (int i = 0; i < index; ++i) left += panels_->GetItem(i)->GetWidth();
    int right = index == count - 1 ? end : left + panels_->GetItem(index)->GetWidth() - kPanelGap;
    return {left, kTopMargin, std::max(left, right), client.Bottom};
}

void TStatusBar::PaintField(TCanvas& canvas, const TRect& r, const std::string& text, TAlignment alignment,
                            TStatusPanelBevel bevel) {
    TRect inner = r;
    if (bevel != pbNone) DrawEdge(canvas, inner, bevel == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(inner, -1, -1);
    if (text.empty()) return;
    // A text against an edge keeps off the bevel; a centred one may use the
    // whole field, which the narrow panels (the coordinates) need.
    if (alignment != taCenter) {
        inner.Left += 2;
        inner.Right -= 2;
    }
    uint32_t format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (alignment == taCenter) format |= DT_CENTER;
    if (alignment == taRightJustify) format |= DT_RIGHT;
    canvas.Font().Assign(GetFont());
    canvas.Brush().SetStyle(bsClear);
    if (IsEnabledDeep())
        canvas.DrawText(inner, format, text);
    else
        thorn::DrawDisabledText(canvas, inner, format, text);
    canvas.Brush().SetStyle(bsSolid);
}

void TStatusBar::PaintWindow(TCanvas& canvas) {
    if (simplePanel_) {
        PaintField(canvas, GetPanelRect(0), simpleText_, taLeftJustify, pbLowered);
    } else {
        for (int i = 0; i < panels_->GetCount(); ++i) {
            const TStatusPanel* panel = panels_->GetItem(i);
            TRect r = GetPanelRect(i);
            if (!IsRectEmpty(r)) PaintField(canvas, r, panel->GetText(), panel->GetAlignment(), panel->GetBevel());
        }
    }
    if (IsGripShown()) {
        TRect grip = GripRect();
        DrawFrameControl(canvas, grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

// ---- the grip

void TStatusBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomForm* form = GetParentForm();
    if (button == mbLeft && form && IsGripShown() && PtInRect(GripRect(), {x, y})) {
        gripping_ = true;
        gripStart_ = ClientToScreen({x, y});
        formStart_ = {form->GetWidth(), form->GetHeight()};
    }
    TWinControl::MouseDown(button, shift, x, y);
}

void TStatusBar::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TStatusBar> self(this);
    if (TCustomForm* form = GetParentForm(); gripping_ && form) {
        TPoint now = ClientToScreen({x, y});
        form->SetBounds(form->GetLeft(), form->GetTop(), formStart_.cx + now.X - gripStart_.X,
                        formStart_.cy + now.Y - gripStart_.Y);
    }
    if (!self) return;
    bool overGrip = gripping_ || (IsGripShown() && PtInRect(GripRect(), {x, y}));
    SetCursor(overGrip ? crSizeNWSE : crDefault);
    TWinControl::MouseMove(shift, x, y);
}

void TStatusBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) gripping_ = false;
    TWinControl::MouseUp(button, shift, x, y);
}

void TStatusBar::CMCancelMode() {
    gripping_ = false;
    TWinControl::CMCancelMode();
}
