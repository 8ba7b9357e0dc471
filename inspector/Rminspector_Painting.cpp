// The property grid on screen: its rows, scrolling, keys, mouse and the hint
// for cut-off texts.
#include <algorithm>
#include <cstdlib>

#include "bitmap/Pix32.h"
#include "gui/Application.h"
#include "gui/ControlAccess.h"
#include "gui/Drawing.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "inspector/Rmhint.h"
#include "inspector/Rminspector.h"
#include "inspector/Rmlibrary.h"
#include "platform/Text.h"

namespace {

// Pixels per level of a row, and from a row's indent to its caption.
constexpr int kIndentStep = 14;
constexpr int kCaptionGap = 14;
// Columns left of the split line that still grab it.
constexpr int kSplitGrip = 1;
constexpr int kSplitMargin = 15;

// The group marks: a box with a plus (closed) or a minus (open).
void MakeMarkGlyph(TBitmap32& glyph, bool open) {
    glyph.SetSize(9, 9);
    glyph.Clear(Color32(clBtnShadow));
    glyph.FillRect(1, 1, 8, 8, Color32(clWindow));
    glyph.FillRect(2, 4, 7, 5, Color32(clWindowText));
    if (!open) glyph.FillRect(4, 2, 5, 7, Color32(clWindowText));
}

const TBitmap32& MarkGlyph(bool expanded) {
    static TBitmap32 glyphs[2];
    static const bool made = (MakeMarkGlyph(glyphs[0], false), MakeMarkGlyph(glyphs[1], true), true);
    (void)made;
    return glyphs[expanded ? 1 : 0];
}

// The selected row's indicator: a black triangle pointing right on white,
// turned into the button colours.
const TBitmap32& IndicatorGlyph() {
    static TBitmap32 glyph;
    static const bool made = [] {
        glyph.SetSize(4, 7);
        glyph.Clear(0xFFFFFFFFu);
        for (int y = 0; y < 7; ++y) glyph.FillRect(0, y, 1 + std::min(y, 6 - y), y + 1, 0xFF000000u);
        ReplaceColors(glyph, clBtnFace, clBtnText);
        return true;
    }();
    (void)made;
    return glyph;
}

// The hint window every grid shares; it belongs to the application.
thorn::ComponentRef<TrmHintWindow>& SharedHint() {
    static thorn::ComponentRef<TrmHintWindow> hint;
    return hint;
}

bool AnyButton(TShiftState shift) {
    return shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
}

bool NoShiftKeys(TShiftState shift) {
    return !shift.Contains(ssShift) && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl);
}

}  // namespace

// ---- geometry

int TrmInspector::RowHeight() {
    if (rowHeight_ == -1) rowHeight_ = thorn::GetFontMetrics(Canvas().Font()).height + 7;
    return rowHeight_;
}

int TrmInspector::vLines() {
    const int height = RowHeight(), client = GetClientHeight();
    return client / height + (client % height != 0 ? 1 : 0);
}

TRect TrmInspector::GetVisibleItemRect(int line, bool valueSide) {
    const int height = RowHeight(), top = height * line;
    if (valueSide) return {splitPos_ + 1, top, GetClientWidth(), top + height - 1};
    return {0, top, splitPos_ - 2, top + height};
}

int TrmInspector::Indent(const TrmTreeNonViewNode* node) const { return kIndentStep * node->GetLevel(); }

void TrmInspector::setSplit(int value) {
    // However narrow the grid, the line stays at least 15 from the left.
    const int split = SetInRange(value, kSplitMargin, std::max(kSplitMargin, GetClientWidth() - kSplitMargin));
    if (split == splitPos_) return;
    splitPos_ = split;
    Invalidate();
}

void TrmInspector::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    thorn::ControlAccess::NonClientChanged(*this);
}

void TrmInspector::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    thorn::ControlAccess::NonClientChanged(*this);
}

void TrmInspector::WMNCCalcSize(TRect& rect) const {
    const int frame = ControlFrameWidth(borderStyle_ == bsSingle, ctl3D_);
    InflateRect(rect, -frame, -frame);
    thorn::ScrollingControl::WMNCCalcSize(rect);
}

void TrmInspector::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, borderStyle_ == bsSingle, ctl3D_);
}

uint32_t TrmInspector::WMGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTTAB; }

void TrmInspector::WMSize() {
    UpdateVScrollBar();
    thorn::ScrollingControl::WMSize();
    setSplit(splitPos_);
    Invalidate();
}

void TrmInspector::CMFontChanged() {
    thorn::ScrollingControl::CMFontChanged();
    // The rows keep the height they have: it is measured once, when first
    // asked for, or set through ItemHeight.
    Canvas().Font().Assign(GetFont());
    UpdateVScrollBar();
    Invalidate();
}

// ---- scrolling

void TrmInspector::UpdateVScrollBar() {
    if (!tree_ || IsLoading() || IsDestroying()) return;
    SetScrollBars(showVScrollBars_ ? ssVertical : ssNone);
    SetScrollUnit(1, RowHeight());
    // The range is the visible rows less the lines on screen plus one, a
    // cut last line counted as a line. Where the rows fill the client
    // exactly, that is one row more than the scrolling base, counting whole
    // lines only, would scroll: one empty line is added after the rows.
    const bool linesFitExactly = GetClientHeight() % RowHeight() == 0;
    SetContentSize(0, VisibleItemCount() + (linesFitExactly ? 1 : 0));
}

void TrmInspector::SetVScrollPos(int value) {
    SetScrollPos({0, value});
    Invalidate();
}

void TrmInspector::ScrollPosChanged(TPoint) { Invalidate(); }

void TrmInspector::ScrollToVisible() {
    UpdateVScrollBar();
    int top = GetVScrollPos();
    const int lines = vLines();
    if (itemIndex_ < top) top = itemIndex_;
    else if (lines + top - 2 < itemIndex_) top = itemIndex_ - (lines - 2);
    if (top < 0) {
        SetScrollPos({0, 0});
        SetItemIndex(0);
        return;
    }
    SetScrollPos({0, top});
}

void TrmInspector::AfterMove() {
    thorn::ComponentRef<TrmInspector> self(this);
    ScrollToVisible();
    if (!self) return;
    UpdateVScrollBar();
    Invalidate();
}

bool TrmInspector::WMMouseWheel(TShiftState shift, int wheelDelta, TPoint screenPos) {
    CloseHint();
    return thorn::ScrollingControl::WMMouseWheel(shift, wheelDelta, screenPos);
}

// ---- painting

void TrmInspector::Paint() {
    TCanvas& canvas = Canvas();
    canvas.FillColor(GetClientRect(), clBtnFace);
    if (!GetItems().GetFirstNode()) return;
    const int top = GetVScrollPos();
    int line = 0;
    for (TrmTreeNonViewNode* node : VisibleRows(top, vLines())) {
        PaintRow(canvas, line, node, top + line == itemIndex_);
        ++line;
    }
}

void TrmInspector::PaintRow(TCanvas& canvas, int line, TrmTreeNonViewNode* node, bool selected) {
    const TRect caption = GetVisibleItemRect(line, false);
    const TRect value = GetVisibleItemRect(line, true);
    const int height = RowHeight();
    const int textTop = (height - thorn::GetFontMetrics(canvas.Font()).height) / 2;
    const int indent = Indent(node);
    TrmCustomInspectorItem* item = ItemOf(node);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBtnFace);
    canvas.Font().SetColor(clBtnText);
    canvas.TextRect(caption, indent + kCaptionGap, caption.Top + textTop, node->GetText());
    if (selected) {
        canvas.Brush().SetColor(selectedItemBgColor_);
        if (item) canvas.Font().SetColor(clWindowText);
    }
    if (item) canvas.TextRect(value, value.Left + 2, value.Top + textTop, item->GetAsString());
    else canvas.FillRect(value);
    if (node->GetChildren()) {
        const TBitmap32& mark = MarkGlyph(node->GetExpanded());
        canvas.Draw(indent + 1, caption.Top + (height - mark.Height()) / 2, mark);
    }
    if (selected && !editorFocus_) {
        const TBitmap32& indicator = IndicatorGlyph();
        thorn::DrawTransparentBitmap(canvas, 0, caption.Top + height / 2 - indicator.Height() / 2, indicator,
                                     Color32(clBtnFace));
    }
    const int width = GetClientWidth();
    auto stroke = [&](int x1, int y1, int x2, int y2, TColor color) {
        canvas.Pen().SetColor(color);
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    stroke(0, caption.Bottom - 1, width, caption.Bottom - 1, selected ? clBtnHighlight : clBtnShadow);
    stroke(0, caption.Bottom - 2, width, caption.Bottom - 2, clBtnFace);
    stroke(splitPos_ - 1, caption.Top - 1, splitPos_ - 1, caption.Bottom, clBtnShadow);
    stroke(splitPos_, caption.Top - 1, splitPos_, caption.Bottom, clBtnHighlight);
}

// ---- keys

void TrmInspector::KeyDown(TKey& key, TShiftState shift) {
    CloseHint();
    if (!NoShiftKeys(shift)) {
        thorn::ScrollingControl::KeyDown(key, shift);
        return;
    }
    thorn::ComponentRef<TrmInspector> self(this);
    TrmTreeNonViewNode* selected = GetVisibleItem(itemIndex_);
    switch (key) {
        case VK_TAB:
            if (TWinControl* editor = editor_.Get(); editor && !readonly_) {
                editorFocus_ = true;
                if (editor->CanFocus()) editor->SetFocus();
            }
            break;
        case VK_PRIOR:
            SetItemIndex(itemIndex_ - (vLines() - 1));
            if (self && itemIndex_ < 0) SetItemIndex(0);
            break;
        case VK_NEXT: SetItemIndex(itemIndex_ + vLines() - 1); break;
        case VK_LEFT:
        case VK_RIGHT:
            if (selected && selected->GetChildren()) {
                selected->SetExpanded(key == VK_RIGHT);
                RowsChanged();
            }
            break;
        case VK_UP:
            if (itemIndex_ - 1 >= 0) SetItemIndex(itemIndex_ - 1);
            break;
        case VK_DOWN: SetItemIndex(itemIndex_ + 1); break;
        default: thorn::ScrollingControl::KeyDown(key, shift); return;
    }
    key = 0;
    if (self) AfterMove();
}

// ---- mouse

void TrmInspector::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmInspector> self(this);
    thorn::ScrollingControl::MouseDown(button, shift, x, y);
    if (!self || button != mbLeft) return;
    CloseHint();
    if (CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    if (splitResize_ && std::abs(x - splitPos_) <= kSplitGrip) {
        splitDrag_ = true;
        return;
    }
    const int row = y / RowHeight() + GetVScrollPos();
    if (y < 0 || row >= VisibleItemCount()) return;
    TrmTreeNonViewNode* node = GetVisibleItem(row);
    bool changed = row != itemIndex_;
    editorFocus_ = x > splitPos_ && !readonly_;
    SetItemIndex(row);
    if (!self) return;
    if (x < splitPos_ && Owns(node) && node->GetChildren()) {
        node->SetExpanded(!node->GetExpanded());
        RowsChanged();
        changed = true;
    }
    ScrollToVisible();
    if (!self) return;
    UpdateVScrollBar();
    if (changed) {
        Invalidate();
        if (TWinControl* editor = editor_.Get()) editor->Invalidate();
    }
}

void TrmInspector::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmInspector> self(this);
    thorn::ScrollingControl::MouseMove(shift, x, y);
    if (!self) return;
    const bool onSplit = splitResize_ && std::abs(x - splitPos_) <= kSplitGrip;
    if (splitDrag_) {
        if (x != splitPos_) {
            setSplit(x);
            PlaceEditor();
            Repaint();
        }
    } else {
        const int row = y / RowHeight() + GetVScrollPos();
        if (y >= 0 && row < VisibleItemCount()) {
            const bool leftOnly = shift.Contains(ssLeft) && !shift.Contains(ssRight) && !shift.Contains(ssMiddle);
            if (Focused() && leftOnly && row != itemIndex_) {
                SetItemIndex(row);
                if (self) AfterMove();
            } else if (!AnyButton(shift) && Application && Application->GetShowHint()) {
                ShowHintAt(x, y);
            }
        } else if (!AnyButton(shift)) {
            CloseHint();
        }
    }
    if (self) SetCursor(onSplit || splitDrag_ ? crHSplit : crDefault);
}

void TrmInspector::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    splitDrag_ = false;
    thorn::ScrollingControl::MouseUp(button, shift, x, y);
}

void TrmInspector::CMMouseLeave() {
    // A window system that cannot pass the mouse through the hint reports
    // the pointer leaving for the hint shown under it: that is no leaving.
    TrmHintWindow* hint = SharedHint().Get();
    const TPoint pointer = Application ? Application->GetHost().GetCursorPos() : TPoint{};
    const TPoint origin = ClientToScreen({0, 0});
    const TRect client{origin.X, origin.Y, origin.X + GetClientWidth(), origin.Y + GetClientHeight()};
    if (!hint || !PtInRect(hint->GetBoundsRect(), pointer) || !PtInRect(client, pointer)) CloseHint();
    thorn::ScrollingControl::CMMouseLeave();
}

void TrmInspector::CMCancelMode() {
    CloseHint();
    splitDrag_ = false;
    thorn::ScrollingControl::CMCancelMode();
}

// ---- the hint of cut-off texts

void TrmInspector::ShowHintAt(int x, int y) {
    const int height = RowHeight();
    const int row = y / height + GetVScrollPos();
    TrmTreeNonViewNode* node = GetVisibleItem(row);
    if (!node) {
        SetNewHint(nullptr, {}, false);
        return;
    }
    const int rowTop = y / height * height;
    const int textLeft = Indent(node) + kCaptionGap;
    const TFont& font = Canvas().Font();
    if (x > splitPos_) {
        TrmCustomInspectorItem* item = ItemOf(node);
        const bool editing = row == itemIndex_ && editor_;
        if (item && !editing) {
            const int width = thorn::TextExtent(font, item->GetAsString()).cx;
            if (width > GetClientWidth() - splitPos_) {
                SetNewHint(node, {splitPos_ - 1, rowTop, splitPos_ - 1 + width + 3, rowTop + height}, true);
                return;
            }
        }
    } else if (const int width = thorn::TextExtent(font, node->GetText()).cx; textLeft + width > splitPos_) {
        SetNewHint(node, {textLeft - 2, rowTop, textLeft - 2 + width + 3, rowTop + height}, false);
        return;
    }
    SetNewHint(nullptr, {}, false);
}

void TrmInspector::SetNewHint(TrmTreeNonViewNode* node, const TRect& rect, bool valueSide) {
    if (!toolTip_ || !node) {
        CloseHint();
        return;
    }
    TrmCustomInspectorItem* item = ItemOf(node);
    const std::string text = valueSide && item ? item->GetAsString() : node->GetText();
    thorn::ComponentRef<TrmHintWindow>& hint = SharedHint();
    if (hint && hint->GetCaption() == text) return;
    if (!Application) return;
    const TPoint topLeft = ClientToScreen({rect.Left, rect.Top});
    if (!hint) hint = thorn::Make<TrmHintWindow>(*Application);
    hint->SetColor(clInfoBk);
    hint->Font().Assign(Canvas().Font());
    hint->ActivateHint({topLeft.X, topLeft.Y, topLeft.X + rect.Width(), topLeft.Y + rect.Height()}, text);
}

void TrmInspector::CloseHint() {
    if (TrmHintWindow* hint = SharedHint().Get()) thorn::Free(hint);
}
