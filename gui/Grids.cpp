#include "gui/Grids.h"

#include <algorithm>

#include "gui/ControlAccess.h"
#include "gui/Edges.h"

TCustomDrawGrid::TCustomDrawGrid() : colWidths_(5, 64), rowHeights_(5, 24) {
    SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 320, 120);
}

void TCustomDrawGrid::SetColCount(int value) {
    value = std::max(1, value);
    if (value == GetColCount()) return;
    colWidths_.resize(static_cast<size_t>(value), defaultColWidth_);
    fixedCols_ = std::min(fixedCols_, value - 1);
    SetCell(col_, row_);
    Invalidate();
}

void TCustomDrawGrid::SetRowCount(int value) {
    value = std::max(1, value);
    if (value == GetRowCount()) return;
    rowHeights_.resize(static_cast<size_t>(value), defaultRowHeight_);
    fixedRows_ = std::min(fixedRows_, value - 1);
    SetCell(col_, row_);
    Invalidate();
}

void TCustomDrawGrid::SetFixedCols(int value) {
    value = std::clamp(value, 0, GetColCount() - 1);
    if (value == fixedCols_) return;
    fixedCols_ = value;
    SetCell(col_, row_);
    Invalidate();
}

void TCustomDrawGrid::SetFixedRows(int value) {
    value = std::clamp(value, 0, GetRowCount() - 1);
    if (value == fixedRows_) return;
    fixedRows_ = value;
    SetCell(col_, row_);
    Invalidate();
}

void TCustomDrawGrid::SetDefaultColWidth(int value) {
    defaultColWidth_ = std::max(0, value);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    Invalidate();
}

void TCustomDrawGrid::SetDefaultRowHeight(int value) {
    defaultRowHeight_ = std::max(0, value);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    Invalidate();
}

int TCustomDrawGrid::GetColWidths(int col) const {
    return col >= 0 && col < GetColCount() ? colWidths_[static_cast<size_t>(col)] : 0;
}

void TCustomDrawGrid::SetColWidths(int col, int value) {
    if (col < 0 || col >= GetColCount()) return;
    colWidths_[static_cast<size_t>(col)] = std::max(0, value);
    Invalidate();
}

int TCustomDrawGrid::GetRowHeights(int row) const {
    return row >= 0 && row < GetRowCount() ? rowHeights_[static_cast<size_t>(row)] : 0;
}

void TCustomDrawGrid::SetRowHeights(int row, int value) {
    if (row < 0 || row >= GetRowCount()) return;
    rowHeights_[static_cast<size_t>(row)] = std::max(0, value);
    Invalidate();
}

void TCustomDrawGrid::SetGridLineWidth(int value) {
    value = std::max(0, value);
    if (value == gridLineWidth_) return;
    gridLineWidth_ = value;
    Invalidate();
}

void TCustomDrawGrid::SetOptions(TGridOptions value) {
    if (value == options_) return;
    options_ = value;
    Invalidate();
}

void TCustomDrawGrid::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    thorn::ControlAccess::NonClientChanged(*this);
}

void TCustomDrawGrid::SetActiveLook(bool value) {
    if (value == activeLook_) return;
    activeLook_ = value;
    InvalidateCell(col_, row_);
}

void TCustomDrawGrid::SetCell(int col, int row) {
    col = std::clamp(col, fixedCols_, GetColCount() - 1);
    row = std::clamp(row, fixedRows_, GetRowCount() - 1);
    if (col == col_ && row == row_) return;
    InvalidateCell(col_, row_);
    col_ = col;
    row_ = row;
    InvalidateCell(col_, row_);
}

// ---- geometry

int TCustomDrawGrid::LineWidth(bool vertical, bool fixed) const {
    TGridOption line = vertical ? (fixed ? goFixedVertLine : goVertLine) : (fixed ? goFixedHorzLine : goHorzLine);
    return options_.Contains(line) ? gridLineWidth_ : 0;
}

int TCustomDrawGrid::ColLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c) x += colWidths_[static_cast<size_t>(c)] + LineWidth(true, c < fixedCols_);
    return x;
}

int TCustomDrawGrid::RowTop(int row) const {
    int y = 0;
    for (int r = 0; r < row; ++r) y += rowHeights_[static_cast<size_t>(r)] + LineWidth(false, r < fixedRows_);
    return y;
}

TRect TCustomDrawGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= GetColCount() || row < 0 || row >= GetRowCount()) return {};
    int left = ColLeft(col), top = RowTop(row);
    return {left, top, left + colWidths_[static_cast<size_t>(col)], top + rowHeights_[static_cast<size_t>(row)]};
}

bool TCustomDrawGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = row = -1;
    for (int c = 0, left = 0; c < GetColCount(); ++c) {
        int right = left + colWidths_[static_cast<size_t>(c)] + LineWidth(true, c < fixedCols_);
        if (x >= left && x < right) col = c;
        left = right;
    }
    for (int r = 0, top = 0; r < GetRowCount(); ++r) {
        int bottom = top + rowHeights_[static_cast<size_t>(r)] + LineWidth(false, r < fixedRows_);
        if (y >= top && y < bottom) row = r;
        top = bottom;
    }
    return col >= 0 && row >= 0;
}

void TCustomDrawGrid::InvalidateCell(int col, int row) {
    TRect r = CellRect(col, row);
    if (!IsRectEmpty(r)) InvalidateRect(r);
}

int TCustomDrawGrid::PageRows() const {
    int room = GetClientHeight() - RowTop(fixedRows_);
    int rows = 0;
    for (int r = fixedRows_; r < GetRowCount(); ++r) {
        room -= rowHeights_[static_cast<size_t>(r)] + LineWidth(false, false);
        if (room < 0) break;
        ++rows;
    }
    return std::max(1, rows);
}

void TCustomDrawGrid::WMNCCalcSize(TRect& rect) const {
    int frame = ControlFrameWidth(borderStyle_ == bsSingle, true);
    InflateRect(rect, -frame, -frame);
    TCustomControl::WMNCCalcSize(rect);
}

void TCustomDrawGrid::WMNCPaint(TCanvas& canvas) {
    DrawControlFrame(canvas, {0, 0, GetWidth(), GetHeight()}, borderStyle_ == bsSingle, true);
}

// ---- painting

void TCustomDrawGrid::Paint() {
    TCanvas& canvas = Canvas();
    const TRect client = GetClientRect();
    // Only the cells the paint reaches are drawn.
    const TRect paintClip = canvas.GetClipRect();
    canvas.FillColor(client, GetColor());
    const bool focusLook = Focused() || activeLook_;
    // OnDrawCell may free the grid.
    thorn::ComponentRef<TCustomDrawGrid> self(this);
    for (int r = 0, top = 0; r < GetRowCount() && top < client.Bottom; ++r) {
        const int height = rowHeights_[static_cast<size_t>(r)];
        const int hLine = LineWidth(false, r < fixedRows_);
        for (int c = 0, left = 0; c < GetColCount() && left < client.Right; ++c) {
            const int width = colWidths_[static_cast<size_t>(c)];
            const bool fixed = c < fixedCols_ || r < fixedRows_;
            const int vLine = LineWidth(true, c < fixedCols_);
            // The lines right of and below the cell.
            if (vLine) canvas.FillColor({left + width, top, left + width + vLine, top + height + hLine}, clBtnFace);
            if (hLine) canvas.FillColor({left, top + height, left + width + vLine, top + height + hLine}, clBtnFace);
            TGridDrawState state;
            if (fixed) {
                state.Include(gdFixed);
            } else if (c == col_ && r == row_) {
                state.Include(gdSelected);
                if (focusLook) state.Include(gdFocused);
            }
            const TRect cell{left, top, left + width, top + height};
            if (TRect visible; IntersectRect(visible, cell, paintClip)) {
                canvas.SetClipRect(visible);
                if (fixed) canvas.FillColor(cell, clBtnFace);
                DrawCell(c, r, cell, state);
                if (!self) return;
                canvas.SetClipRect(paintClip);
            }
            left += width + vLine;
        }
        top += height + hLine;
    }
}

void TCustomDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

// ---- input

bool TCustomDrawGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

void TCustomDrawGrid::MoveTo(int col, int row) {
    col = std::clamp(col, fixedCols_, GetColCount() - 1);
    row = std::clamp(row, fixedRows_, GetRowCount() - 1);
    if (col == col_ && row == row_) return;
    thorn::ComponentRef<TCustomDrawGrid> self(this);
    if (!SelectCell(col, row) || !self) return;
    SetCell(col, row);
}

void TCustomDrawGrid::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TCustomDrawGrid> self(this);
    TCustomControl::KeyDown(key, shift);
    if (!self || key == 0) return;
    const bool ctrl = shift.Contains(ssCtrl);
    int col = col_, row = row_;
    switch (key) {
        case VK_LEFT: --col; break;
        case VK_RIGHT: ++col; break;
        case VK_UP: --row; break;
        case VK_DOWN: ++row; break;
        case VK_PRIOR: row -= PageRows(); break;
        case VK_NEXT: row += PageRows(); break;
        case VK_HOME: ctrl ? row = fixedRows_ : col = fixedCols_; break;
        case VK_END: ctrl ? row = GetRowCount() - 1 : col = GetColCount() - 1; break;
        default: return;
    }
    key = 0;
    MoveTo(col, row);
}

void TCustomDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TCustomDrawGrid> self(this);
    TCustomForm* form = GetParentForm();
    if (form && !thorn::IsPopupKind(form->GetWindowKind()) && CanFocus() && !Focused()) SetFocus();
    if (!self) return;
    int col = 0, row = 0;
    if (button == mbLeft && MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) MoveTo(col, row);
    if (self) TCustomControl::MouseDown(button, shift, x, y);
}
