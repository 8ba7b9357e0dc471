#include "gui/ToolButton.h"

#include <algorithm>
#include <vector>

#include "gui/ActnList.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/ToolBar.h"
#include "platform/Text.h"

namespace {

// What a tool button shows of its action: besides the plain control's
// caption, hint, enabled and visible, its image and its check mark as Down.
class TToolButtonActionLink : public TControlActionLink {
public:
    explicit TToolButtonActionLink(TToolButton& button) : TControlActionLink(button), button_(button) {}
    void SetChecked(bool value) override { button_.SetDown(value); }
    void SetImageIndex(int value) override { button_.SetImageIndex(value); }

private:
    TToolButton& button_;
};

}  // namespace

TToolButton::TToolButton() {
    SetControlStyle({csCaptureMouse, csSetCaption, csClickEvents});
    SetBounds(0, 0, 23, 22);
}

std::unique_ptr<TBasicActionLink> TToolButton::CreateActionLink() {
    return std::make_unique<TToolButtonActionLink>(*this);
}

TToolBar* TToolButton::GetToolBar() const { return dynamic_cast<TToolBar*>(GetParent()); }

int TToolButton::GetIndex() const {
    TToolBar* bar = GetToolBar();
    if (!bar) return -1;
    for (int i = 0; i < bar->GetButtonCount(); ++i)
        if (bar->GetButton(i) == this) return i;
    return -1;
}

void TToolButton::SetStyle(TToolButtonStyle value) {
    if (value == style_) return;
    bool wasSeparator = IsSeparator();
    style_ = value;
    // A separator is narrower than a button; the bar sizes buttons itself.
    if (IsSeparator() && !wasSeparator) SetWidth(8);
    Invalidate();
    RequestAlign();
}

void TToolButton::SetDown(bool value) {
    if (value == down_) return;
    down_ = value;
    Invalidate();
    TToolBar* bar = GetToolBar();
    if (!value || !grouped_ || style_ != tbsCheck || !bar) return;
    // The group: the grouped check buttons on either side, up to anything else.
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < bar->GetButtonCount(); ++i) buttons.push_back(bar->GetButton(i));
    auto self = std::find(buttons.begin(), buttons.end(), this);
    auto member = [](const TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
    auto first = self, last = self + 1;
    while (first != buttons.begin() && member(*(first - 1))) --first;
    while (last != buttons.end() && member(*last)) ++last;
    for (auto it = first; it != last; ++it)
        if (*it != this) (*it)->SetDown(false);
}

void TToolButton::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    imageIndex_ = value;
    Invalidate();
}

void TToolButton::SetWrap(bool value) {
    if (value == wrap_) return;
    wrap_ = value;
    RequestAlign();
}

void TToolButton::Click() {
    if (style_ == tbsCheck && !(down_ && grouped_ && !allowAllUp_)) SetDown(!down_);
    TGraphicControl::Click();
}

// ---- the mouse

void TToolButton::SetPressed(bool value) {
    if (value == pressed_) return;
    pressed_ = value;
    Invalidate();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && !IsSeparator()) {
        tracking_ = true;
        SetPressed(true);
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
    if (tracking_) SetPressed(PtInRect(GetClientRect(), {x, y}));
    TGraphicControl::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        tracking_ = false;
        SetPressed(false);
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::CMMouseEnter() {
    hot_ = true;
    Invalidate();
    TGraphicControl::CMMouseEnter();
}

void TToolButton::CMMouseLeave() {
    hot_ = false;
    Invalidate();
    TGraphicControl::CMMouseLeave();
}

void TToolButton::CMCancelMode() {
    tracking_ = false;
    SetPressed(false);
    TGraphicControl::CMCancelMode();
}

// ---- painting

void TToolButton::PaintSeparator(TCanvas& canvas) {
    TToolBar* bar = GetToolBar();
    if (style_ == tbsSeparator && !(bar && bar->GetFlat())) return;
    // An etched line down the middle.
    int x = GetWidth() / 2 - 1;
    canvas.FillColor({x, 0, x + 1, GetHeight()}, clBtnShadow);
    canvas.FillColor({x + 1, 0, x + 2, GetHeight()}, clBtnHighlight);
}

void TToolButton::Paint() {
    TCanvas& canvas = Canvas();
    if (IsSeparator()) {
        PaintSeparator(canvas);
        return;
    }
    TToolBar* bar = GetToolBar();
    bool flat = bar && bar->GetFlat();
    bool enabled = IsEnabledDeep();
    bool sunken = pressed_ || down_;
    TRect r = GetClientRect();
    if (flat) {
        if (sunken)
            DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT);
        else if (hot_ && enabled)
            DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RECT);
        InflateRect(r, -1, -1);
    } else {
        DrawFrameControl(canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (sunken ? DFCS_PUSHED : 0));
    }
    // Down and not held: the checked look, a dithered face.
    if (down_ && !pressed_) thorn::FillDithered(canvas, r, clBtnFace, clBtnHighlight);
    int shift = sunken ? 1 : 0;
    bool captions = bar && bar->GetShowCaptions();
    TCustomImageList* images = bar ? bar->GetImages() : nullptr;
    TImageDrawStyle style = enabled ? idsNormal : idsDisabled;
    if (bar && !enabled && bar->GetDisabledImages()) {
        images = bar->GetDisabledImages();
        style = idsNormal;
    } else if (bar && enabled && hot_ && bar->GetHotImages()) {
        images = bar->GetHotImages();
    }
    int textHeight = 0;
    if (captions && !GetCaption().empty()) {
        canvas.Font().Assign(GetFont());
        textHeight = canvas.TextHeight(GetCaption());
    }
    int imageHeight = images && imageIndex_ >= 0 ? images->GetHeight() : 0;
    int top = (GetHeight() - imageHeight - textHeight) / 2;
    if (imageHeight)
        images->Draw(canvas, (GetWidth() - images->GetWidth()) / 2 + shift, top + shift, imageIndex_, style);
    if (textHeight) {
        TRect text{0, top + imageHeight, GetWidth(), top + imageHeight + textHeight};
        OffsetRect(text, shift, shift);
        uint32_t format = DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        canvas.Brush().SetStyle(bsClear);
        if (enabled) {
            canvas.Font().SetColor(clBtnText);
            canvas.DrawText(text, format, GetCaption());
        } else {
            thorn::DrawDisabledText(canvas, text, format, GetCaption());
        }
        canvas.Brush().SetStyle(bsSolid);
    }
}
