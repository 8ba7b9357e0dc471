#include "gui/RowView.h"

#include <algorithm>

#include "gui/Application.h"
#include "gui/ControlAccess.h"
#include "gui/Edges.h"
#include "gui/Forms.h"
#include "platform/StringList.h"

namespace thorn {

namespace {

// Typed characters within this many milliseconds of each other make one
// search text.
constexpr uint64_t kTypeAheadPause = 1000;

bool BeginsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && CompareText(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

RowView::RowView() {
    SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetScrollBars(ssVertical);
    SetScrollUnit(1, rowHeight_);
}

void RowView::SetSource(RowSource* source) {
    source_ = source;
    focused_ = anchor_ = -1;
    RowsChanged();
}

// ---- geometry

bool RowView::UpdateContent() {
    if (variableHeights_) {
        tops_.assign(1, 0);
        tops_.reserve(static_cast<size_t>(rowCount_) + 1);
        ComponentRef<RowView> self(this);
        for (int i = 0; i < rowCount_; ++i) {
            const int height = source_->RowHeight(i);
            if (!self) return false;
            tops_.push_back(tops_.back() + std::max(1, height));
        }
        SetScrollUnit(1, 1);
        SetContentSize(contentWidth_, tops_.back());
    } else {
        tops_.clear();
        SetScrollUnit(1, rowHeight_);
        SetContentSize(contentWidth_, rowCount_);
    }
    return true;
}

bool RowView::RowsChanged() {
    rowCount_ = source_ ? source_->RowCount() : 0;
    if (focused_ >= rowCount_) focused_ = rowCount_ - 1;
    if (anchor_ >= rowCount_) anchor_ = focused_;
    if (!UpdateContent()) return false;
    Invalidate();
    return true;
}

void RowView::RowInserted(int row) {
    if (focused_ >= row) ++focused_;
    if (anchor_ >= row) ++anchor_;
}

void RowView::RowDeleted(int row) {
    auto shift = [row](int& index) {
        if (index == row)
            index = -1;
        else if (index > row)
            --index;
    };
    shift(focused_);
    shift(anchor_);
}

void RowView::RowsExchanged(int row1, int row2) {
    for (int* index : {&focused_, &anchor_}) {
        if (*index == row1)
            *index = row2;
        else if (*index == row2)
            *index = row1;
    }
}

int RowAfterReorder(std::span<const int> formerRow, int former) {
    if (former < 0) return -1;
    auto at = std::find(formerRow.begin(), formerRow.end(), former);
    return at == formerRow.end() ? -1 : static_cast<int>(at - formerRow.begin());
}

void RowView::RowsReordered(std::span<const int> formerRow) {
    focused_ = RowAfterReorder(formerRow, focused_);
    anchor_ = RowAfterReorder(formerRow, anchor_);
}

void RowView::SetRowHeight(int value) {
    value = std::max(1, value);
    if (value == rowHeight_) return;
    rowHeight_ = value;
    if (UpdateContent()) Invalidate();
}

void RowView::SetVariableHeights(bool value) {
    if (value == variableHeights_) return;
    variableHeights_ = value;
    if (UpdateContent()) Invalidate();
}

void RowView::SetContentWidth(int value) {
    value = std::max(0, value);
    if (value == contentWidth_) return;
    contentWidth_ = value;
    if (UpdateContent()) Invalidate();
}

int RowView::RowTop(int row) const {
    if (!variableHeights_) return row * rowHeight_;
    return tops_[static_cast<size_t>(std::clamp(row, 0, rowCount_))];
}

TRect RowView::RowRect(int row) const {
    TPoint origin = GetContentOrigin();
    TRect viewport = GetViewport();
    int top = variableHeights_ ? viewport.Top - GetScrollPos().Y + RowTop(row) : origin.Y + row * rowHeight_;
    int bottom = top + (variableHeights_ ? RowTop(row + 1) - RowTop(row) : rowHeight_);
    int right = std::max(viewport.Right, origin.X + contentWidth_);
    return {origin.X, top, right, bottom};
}

int RowView::RowAt(TPoint p) const {
    TRect viewport = GetViewport();
    if (rowCount_ == 0 || !PtInRect(viewport, p)) return -1;
    int y = p.Y - viewport.Top + (variableHeights_ ? GetScrollPos().Y : GetScrollPos().Y * rowHeight_);
    int row = variableHeights_ ? static_cast<int>(std::upper_bound(tops_.begin(), tops_.end(), y) - tops_.begin()) - 1
                               : y / rowHeight_;
    return row >= 0 && row < rowCount_ ? row : -1;
}

int RowView::GetTopRow() const {
    if (!variableHeights_) return GetScrollPos().Y;
    return std::max(0, static_cast<int>(std::upper_bound(tops_.begin(), tops_.end(), GetScrollPos().Y) -
                                        tops_.begin()) - 1);
}

void RowView::SetTopRow(int row) {
    row = std::clamp(row, 0, std::max(0, rowCount_ - 1));
    SetScrollPos({GetScrollPos().X, variableHeights_ ? RowTop(row) : row});
}

int RowView::VisibleRowCount() const {
    // With rows of their own heights, the usual height stands for them all.
    return std::max(1, GetViewport().Height() / rowHeight_);
}

void RowView::MakeRowVisible(int row) {
    if (row < 0 || row >= rowCount_) return;
    int x = GetScrollPos().X;
    if (variableHeights_)
        ScrollInView({x, RowTop(row), x + 1, RowTop(row + 1)});
    else
        ScrollInView({x, row, x + 1, row + 1});
}

void RowView::InvalidateRow(int row) {
    if (row >= 0 && row < rowCount_) InvalidateRect(RowRect(row));
}

// ---- selection

void RowView::SetSelected(int row, bool selected) {
    if (!source_ || row < 0 || row >= rowCount_ || source_->IsRowSelected(row) == selected) return;
    ++selectionChanges_;
    // The source's owner hears of it and may free the view.
    ComponentRef<RowView> self(this);
    source_->SetRowSelected(row, selected);
    if (self) InvalidateRow(row);
}

void RowView::SetFocusedRow(int row) {
    row = rowCount_ == 0 ? -1 : std::clamp(row, -1, rowCount_ - 1);
    if (row != focused_) {
        InvalidateRow(focused_);
        focused_ = row;
        InvalidateRow(focused_);
    }
    anchor_ = row;
    MakeRowVisible(row);
}

void RowView::SelectOnly(int row) {
    if (!source_) return;
    ComponentRef<RowView> self(this);
    // Deselect the others first, as their owners expect to hear.
    for (int i = 0; i < rowCount_ && self; ++i)
        if (i != row) SetSelected(i, false);
    if (!self) return;
    if (row >= 0 && row < rowCount_) {
        SetFocusedRow(row);
        SetSelected(row, true);
    }
}

void RowView::SelectRange(int row, bool keepOthers) {
    if (!multiSelect_ || anchor_ < 0) {
        SelectOnly(row);
        return;
    }
    row = std::clamp(row, 0, rowCount_ - 1);
    int from = std::min(anchor_, row), to = std::max(anchor_, row);
    ComponentRef<RowView> self(this);
    if (!keepOthers)
        for (int i = 0; i < rowCount_ && self; ++i)
            if (i < from || i > to) SetSelected(i, false);
    for (int i = from; i <= to && self; ++i) SetSelected(i, true);
    if (!self) return;
    int anchor = anchor_;
    SetFocusedRow(row);
    anchor_ = anchor;
}

void RowView::ToggleRow(int row) {
    if (!source_ || row < 0 || row >= rowCount_) return;
    if (!multiSelect_) {
        SelectOnly(row);
        return;
    }
    SetFocusedRow(row);
    SetSelected(row, !source_->IsRowSelected(row));
}

void RowView::ClearSelection() { SelectOnly(-1); }

int RowView::SelectedCount() const {
    int n = 0;
    for (int i = 0; source_ && i < rowCount_; ++i) n += source_->IsRowSelected(i);
    return n;
}

void RowView::SetMultiSelect(bool value) {
    if (value == multiSelect_) return;
    multiSelect_ = value;
    if (!value && source_) {
        int keep = focused_ >= 0 && source_->IsRowSelected(focused_) ? focused_ : -1;
        ComponentRef<RowView> self(this);
        for (int i = 0; i < rowCount_ && self; ++i)
            if (i != keep) SetSelected(i, false);
    }
}

void RowView::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    Invalidate();
}

void RowView::SetShowFocusRect(bool value) {
    if (value == showFocusRect_) return;
    showFocusRect_ = value;
    InvalidateRow(focused_);
}

void RowView::SetActiveLook(bool value) {
    if (value == activeLook_) return;
    activeLook_ = value;
    Invalidate();
}

bool RowView::LooksFocused() const { return activeLook_ || Focused(); }

int RowView::FindRow(std::string_view prefix, int start) const {
    if (!source_ || rowCount_ == 0) return -1;
    start = std::clamp(start, 0, rowCount_ - 1);
    for (int k = 0; k < rowCount_; ++k) {
        int row = (start + k) % rowCount_;
        if (BeginsWith(source_->RowText(row), prefix)) return row;
    }
    return -1;
}

// ---- keys and mouse

void RowView::GoTo(int row, TShiftState shift, bool fromMouse) {
    if (rowCount_ == 0) return;
    row = std::clamp(row, 0, rowCount_ - 1);
    bool ctrl = shift.Contains(ssCtrl), range = shift.Contains(ssShift);
    if (multiSelect_ && range)
        SelectRange(row, ctrl);
    else if (multiSelect_ && ctrl && fromMouse)
        ToggleRow(row);
    else if (multiSelect_ && ctrl)
        SetFocusedRow(row);
    else
        SelectOnly(row);
}

void RowView::KeyDown(TKey& key, TShiftState shift) {
    ComponentRef<RowView> self(this);
    ScrollingControl::KeyDown(key, shift);
    if (!self || key == 0 || rowCount_ == 0) return;
    int page = std::max(1, VisibleRowCount() - 1);
    int from = focused_;
    int target;
    switch (key) {
        case VK_UP: target = from < 0 ? 0 : from - 1; break;
        case VK_DOWN: target = from + 1; break;
        case VK_PRIOR: target = from - page; break;
        case VK_NEXT: target = from < 0 ? page : from + page; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = rowCount_ - 1; break;
        case VK_SPACE:
            if (multiSelect_ && shift.Contains(ssCtrl) && focused_ >= 0) {
                ToggleRow(focused_);
                if (self) UserSelected();
                key = 0;
            }
            return;
        default: return;
    }
    key = 0;
    int before = selectionChanges_;
    GoTo(target, shift, false);
    if (self && (focused_ != from || selectionChanges_ != before)) UserSelected();
}

int RowView::TypeAheadRow(char ch) {
    if (rowCount_ == 0) return -1;
    uint64_t now = Application ? Application->GetHost().Now() : 0;
    if (now - typedAt_ > kTypeAheadPause) typed_.clear();
    typedAt_ = now;
    typed_ += ch;
    // One character again and again steps through the rows that begin with it.
    bool repeated = std::all_of(typed_.begin(), typed_.end(),
                                [&](char c) { return CompareText({&c, 1}, {&typed_[0], 1}) == 0; });
    std::string_view wanted = repeated ? std::string_view(typed_).substr(0, 1) : std::string_view(typed_);
    int start = focused_ < 0 ? 0 : (wanted.size() == 1 ? focused_ + 1 : focused_) % rowCount_;
    return FindRow(wanted, start);
}

void RowView::KeyPress(char& key) {
    ComponentRef<RowView> self(this);
    ScrollingControl::KeyPress(key);
    if (!self || key == 0 || !typeAhead_ || static_cast<unsigned char>(key) <= ' ' || rowCount_ == 0) return;
    int row = TypeAheadRow(key);
    key = 0;
    if (row < 0) return;
    int before = selectionChanges_, focusedBefore = focused_;
    SelectOnly(row);
    if (self && (focused_ != focusedBefore || selectionChanges_ != before)) UserSelected();
}

void RowView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    ComponentRef<RowView> self(this);
    // A drop-down list leaves the keyboard with its owner.
    TCustomForm* form = GetParentForm();
    if (form && !IsPopupKind(form->GetWindowKind()) && CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    int row = RowAt({x, y});
    int before = selectionChanges_, focusedBefore = focused_;
    if (button == mbLeft) {
        if (row >= 0) {
            GoTo(row, shift, true);
            if (!self) return;
            dragging_ = dragSelect_;
        } else if (clearOnEmptyClick_ && PtInRect(GetViewport(), {x, y})) {
            ClearSelection();
        }
    } else if (button == mbRight && row >= 0 && source_ && !source_->IsRowSelected(row)) {
        SelectOnly(row);
    }
    if (!self) return;
    if (focused_ != focusedBefore || selectionChanges_ != before) UserSelected();
    if (self) ScrollingControl::MouseDown(button, shift, x, y);
}

void RowView::MouseMove(TShiftState shift, int x, int y) {
    ComponentRef<RowView> self(this);
    if ((dragging_ && shift.Contains(ssLeft)) || (trackMouse_ && !shift.Contains(ssLeft))) {
        TRect viewport = GetViewport();
        int row = RowAt({std::clamp(x, viewport.Left, viewport.Right - 1), std::clamp(y, viewport.Top, viewport.Bottom - 1)});
        // Dragging past the top or bottom scrolls a row at a time.
        if (dragging_ && y < viewport.Top && GetTopRow() > 0) row = GetTopRow() - 1;
        if (dragging_ && y >= viewport.Bottom) row = std::min(rowCount_ - 1, GetTopRow() + VisibleRowCount());
        if (row >= 0 && row != focused_) {
            int before = selectionChanges_;
            if (dragging_ && multiSelect_)
                SelectRange(row, shift.Contains(ssCtrl));
            else
                SelectOnly(row);
            if (self && dragging_ && selectionChanges_ != before) UserSelected();
        }
    }
    if (self) ScrollingControl::MouseMove(shift, x, y);
}

void RowView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) dragging_ = false;
    ScrollingControl::MouseUp(button, shift, x, y);
}

void RowView::WMSetFocus() {
    ScrollingControl::WMSetFocus();
    Invalidate();
}

void RowView::WMKillFocus() {
    dragging_ = false;
    ScrollingControl::WMKillFocus();
    Invalidate();
}

void RowView::WMSize() {
    ScrollingControl::WMSize();
    MakeRowVisible(focused_);
}

// ---- frame

void RowView::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    ControlAccess::NonClientChanged(*this);
}

void RowView::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    ControlAccess::NonClientChanged(*this);
}

void RowView::WMNCCalcSize(TRect& rect) const {
    int frame = ControlFrameWidth(borderStyle_ == bsSingle, ctl3D_);
    InflateRect(rect, -frame, -frame);
    ScrollingControl::WMNCCalcSize(rect);
}

void RowView::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, borderStyle_ == bsSingle, ctl3D_);
}

// ---- painting

void RowView::PaintEmpty(TCanvas& canvas, const TRect& r) { canvas.FillColor(r, GetColor()); }

void RowView::Paint() {
    TCanvas& canvas = Canvas();
    TRect clip = canvas.GetClipRect();
    TRect viewport = GetViewport();
    TRect shown;
    if (!IntersectRect(shown, clip, viewport)) return;
    int first = RowAt({viewport.Left, shown.Top});
    int bottom = shown.Top;
    bool looksFocused = LooksFocused();
    bool enabled = IsEnabledDeep();
    ComponentRef<RowView> self(this);
    for (int row = first; row >= 0 && row < rowCount_ && self; ++row) {
        TRect r = RowRect(row);
        if (r.Top >= shown.Bottom) break;
        TOwnerDrawState state;
        if (source_->IsRowSelected(row) && (looksFocused || !hideSelection_)) state.Include(odSelected);
        if (row == focused_ && looksFocused) state.Include(odFocused);
        if (!enabled) state.Include(odDisabled);
        TRect rowClip;
        IntersectRect(rowClip, r, shown);
        canvas.SetClipRect(rowClip);
        source_->DrawRow(canvas, row, r, state);
        if (!self) return;  // freed by its owner's drawing
        if (state.Contains(odFocused) && showFocusRect_) {
            TRect focus{std::max(r.Left, viewport.Left), r.Top, std::min(r.Right, viewport.Right), r.Bottom};
            canvas.DrawFocusRect(focus);
        }
        bottom = r.Bottom;
    }
    if (!self) return;
    canvas.SetClipRect(shown);
    if (bottom < shown.Bottom) PaintEmpty(canvas, {shown.Left, std::max(bottom, shown.Top), shown.Right, shown.Bottom});
    canvas.SetClipRect(clip);
}

}  // namespace thorn
