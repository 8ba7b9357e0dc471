#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gui/Forms.h"
#include "platform/Sets.h"

enum TGridOption : uint8_t {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
};
using TGridOptions = thorn::EnumSet<TGridOption>;

enum TGridDrawStateMember : uint8_t { gdSelected, gdFocused, gdFixed };
using TGridDrawState = thorn::EnumSet<TGridDrawStateMember>;

using TDrawCellEvent = std::function<void(TObject* sender, int col, int row, TRect rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;

// A grid of cells the program draws (OnDrawCell), one of them current: the
// keyboard's and the mouse's place. Columns and rows have a default size,
// each may have its own; lines between them (goVertLine, goHorzLine) are
// GridLineWidth wide in the button face colour. The cells are shown from the
// first one on: the grid does not scroll, so it is sized to what it holds.
//
// The user moves the current cell with the arrows, Home, End, Page Up and
// Page Down, and with a press on a cell; each such move asks SelectCell
// (OnSelectCell), which may refuse it. Moves made by the program (SetCell,
// SetCol, SetRow) are not asked.
class TCustomDrawGrid : public TCustomControl {
public:
    TCustomDrawGrid();

    int GetColCount() const { return static_cast<int>(colWidths_.size()); }
    void SetColCount(int value);
    int GetRowCount() const { return static_cast<int>(rowHeights_.size()); }
    void SetRowCount(int value);
    // Fixed columns and rows are drawn with gdFixed and never become current.
    int GetFixedCols() const { return fixedCols_; }
    void SetFixedCols(int value);
    int GetFixedRows() const { return fixedRows_; }
    void SetFixedRows(int value);
    int GetDefaultColWidth() const { return defaultColWidth_; }
    // Every column takes the width.
    void SetDefaultColWidth(int value);
    int GetDefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value);
    int GetColWidths(int col) const;
    void SetColWidths(int col, int value);
    int GetRowHeights(int row) const;
    void SetRowHeights(int row, int value);
    int GetGridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int value);
    TGridOptions GetOptions() const { return options_; }
    void SetOptions(TGridOptions value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // Draws the current cell as focused even without the keyboard (a grid in
    // a pop-up shows its owner's focus).
    bool GetActiveLook() const { return activeLook_; }
    void SetActiveLook(bool value);

    // The current cell.
    int GetCol() const { return col_; }
    void SetCol(int value) { SetCell(value, row_); }
    int GetRow() const { return row_; }
    void SetRow(int value) { SetCell(col_, value); }
    // Makes the cell current (kept within the grid), without asking.
    void SetCell(int col, int row);

    // The cell's place in client coordinates; empty outside the grid.
    TRect CellRect(int col, int row) const;
    // The cell under a point of the client area; false when none.
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // Paints one cell again.
    void InvalidateCell(int col, int row);

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

protected:
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    // Whether the user may make the cell current; asks OnSelectCell.
    virtual bool SelectCell(int col, int row);

    void Paint() override;
    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS; }
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int LineWidth(bool vertical, bool fixed) const;
    int ColLeft(int col) const;
    int RowTop(int row) const;
    // A move of the user's: asked first.
    void MoveTo(int col, int row);
    // Rows that fit whole below the fixed ones (at least 1).
    int PageRows() const;

    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TBorderStyle borderStyle_ = bsSingle;
    bool activeLook_ = false;
    int col_ = 1;
    int row_ = 1;
};

class TDrawGrid : public TCustomDrawGrid {};
