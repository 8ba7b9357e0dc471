#include "gui/ToolBar.h"

#include <algorithm>

#include "gui/Edges.h"
#include "gui/ToolButton.h"
#include "platform/Collections.h"

namespace {

constexpr int kEdge = 2;        // an etched edge
constexpr int kRowPadding = 2;  // above and below the rows

}  // namespace

TToolBar::TToolBar() {
    SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

void TToolBar::Watch(WatchedImages& watched, TCustomImageList* list) {
    watched.list = list;
    watched.subscription.reset();
    if (list) watched.subscription = list->Subscribe([this] { Invalidate(); });
    Invalidate();
}

void TToolBar::SetButtonWidth(int value) {
    value = std::max(0, value);
    if (value == buttonWidth_) return;
    buttonWidth_ = value;
    Realign();
}

void TToolBar::SetButtonHeight(int value) {
    value = std::max(0, value);
    if (value == buttonHeight_) return;
    buttonHeight_ = value;
    Realign();
}

void TToolBar::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TToolBar::SetShowCaptions(bool value) {
    if (value == showCaptions_) return;
    showCaptions_ = value;
    Invalidate();
}

void TToolBar::SetWrapable(bool value) {
    if (value == wrapable_) return;
    wrapable_ = value;
    Realign();
}

void TToolBar::SetIndent(int value) {
    value = std::max(0, value);
    if (value == indent_) return;
    indent_ = value;
    Realign();
}

void TToolBar::SetEdgeBorders(TEdgeBorders value) {
    if (value == edgeBorders_) return;
    edgeBorders_ = value;
    NonClientChanged();
    AdjustSize();
}

int TToolBar::GetButtonCount() const {
    int count = 0;
    for (int i = 0; i < GetControlCount(); ++i)
        if (dynamic_cast<const TToolButton*>(GetControl(i))) ++count;
    return count;
}

TToolButton* TToolBar::GetButton(int index) const {
    int seen = 0;
    for (int i = 0; i < GetControlCount(); ++i)
        if (auto* button = dynamic_cast<TToolButton*>(GetControl(i)); button && seen++ == index) return button;
    ThrowListIndexError(index);
}

void TToolBar::WMNCCalcSize(TRect& rect) const {
    TWinControl::WMNCCalcSize(rect);
    if (edgeBorders_.Contains(ebLeft)) rect.Left += kEdge;
    if (edgeBorders_.Contains(ebTop)) rect.Top += kEdge;
    if (edgeBorders_.Contains(ebRight)) rect.Right -= kEdge;
    if (edgeBorders_.Contains(ebBottom)) rect.Bottom -= kEdge;
}

void TToolBar::WMNCPaint(TCanvas& canvas) {
    uint32_t sides = (edgeBorders_.Contains(ebLeft) ? BF_LEFT : 0) | (edgeBorders_.Contains(ebTop) ? BF_TOP : 0) |
                     (edgeBorders_.Contains(ebRight) ? BF_RIGHT : 0) |
                     (edgeBorders_.Contains(ebBottom) ? BF_BOTTOM : 0);
    TRect r{0, 0, GetWidth(), GetHeight()};
    canvas.FillColor(r, GetColor());
    if (sides) DrawEdge(canvas, r, EDGE_ETCHED, sides);
}

int TToolBar::LayoutButtons() {
    TRect client = GetClientRect();
    int x = indent_, y = kRowPadding;
    rowCount_ = 0;
    bool rowOpen = false;
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* button = dynamic_cast<TToolButton*>(GetControl(i));
        if (!button || !button->GetVisible()) continue;
        int width = button->IsSeparator() ? button->GetWidth() : buttonWidth_;
        if (rowOpen && wrapable_ && x + width > client.Right && x > indent_) {
            x = indent_;
            y += buttonHeight_;
            rowOpen = false;
        }
        if (!rowOpen) ++rowCount_;
        rowOpen = true;
        button->SetBounds(x, y, width, buttonHeight_);
        x += width;
        if (button->GetWrap()) {
            x = indent_;
            y += buttonHeight_;
            rowOpen = false;
        }
    }
    return rowCount_ * buttonHeight_ + 2 * kRowPadding;
}

void TToolBar::AlignControls(TControl* control, TRect& rect) {
    TWinControl::AlignControls(control, rect);
    int height = LayoutButtons();
    if (height != rowsHeight_) {
        rowsHeight_ = height;
        AdjustSize();
    }
}

bool TToolBar::CanAutoSize(int& newWidth, int& newHeight) {
    if (rowsHeight_ == 0) return false;
    newHeight = rowsHeight_ + GetHeight() - GetClientHeight();
    return true;
}
