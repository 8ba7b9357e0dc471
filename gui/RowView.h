#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gui/Forms.h"
#include "gui/ScrollingControl.h"
#include "platform/Sets.h"

// How an owner-drawn row or item is to look.
enum TOwnerDrawStateMember : uint8_t {
    odSelected,
    odGrayed,
    odDisabled,
    odChecked,
    odFocused,
    odDefault,
    odHotLight,
    odInactive,
    odNoAccel,
    odNoFocusRect,
    odComboBoxEdit,
};
using TOwnerDrawState = thorn::EnumSet<TOwnerDrawStateMember>;

namespace thorn {

// What a row view shows, read row by row: the view keeps no copy of the
// rows. The source keeps each row's selection; the view asks it to change
// when the user selects, and the source tells its own users.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int RowCount() const = 0;
    // The row's text, which typing searches by its beginning.
    virtual std::string RowText(int row) const = 0;
    virtual bool IsRowSelected(int row) const = 0;
    virtual void SetRowSelected(int row, bool selected) = 0;
    // Paints row in rect (client coordinates; the canvas clips to the row).
    virtual void DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) = 0;
    // The row's height in pixels, asked only when the view has variable
    // heights.
    virtual int RowHeight(int row) const { return 0; }
};

// Where the row that stood at former stands after a reorder (formerRow[i]
// is where the row now at i stood); -1 for -1 or a row not found.
int RowAfterReorder(std::span<const int> formerRow, int former);

// A scrolling list of rows over a RowSource: rows of one height (or each of
// its own), painted only where they are in sight, however many there are.
//
// The focused row is the keyboard's place; in a single-selection view it is
// the selected row. Keys: Up, Down, Page Up, Page Down, Home and End move
// the focus and select the row reached; with multiple selection Shift
// selects the range from the anchor (the row last clicked or reached without
// Shift), Ctrl moves the focus alone and Ctrl+Space selects or deselects
// the focused row. Typed characters find the next row whose text begins
// with what was typed within a second (one character repeated steps through
// the rows beginning with it). The mouse selects as the keys do: a press
// selects the row under it, Ctrl+press toggles it, Shift+press selects the
// range; moving with the button held drags the selection when DragSelect is
// on. Every selection change a user makes ends in UserSelected.
class RowView : public ScrollingControl {
public:
    RowView();

    RowSource* GetSource() const { return source_; }
    // The source stays the caller's; null shows no rows.
    void SetSource(RowSource* source);
    // Rows came, went or changed height: the view reads the count again,
    // keeps the focus and the position in range and repaints. False when
    // the source's owner, asked for row heights, freed the view.
    bool RowsChanged();
    // A row was put in at row, or taken out: the focus and the anchor move
    // with the rows they were on (the one taken out leaves the focus
    // nowhere). RowsChanged follows once the change is complete.
    void RowInserted(int row);
    void RowDeleted(int row);
    // Two rows traded places, or a sort moved them all (formerRow[i] is
    // where the row now at i stood): the focus and the anchor go with them.
    void RowsExchanged(int row1, int row2);
    void RowsReordered(std::span<const int> formerRow);
    void InvalidateRow(int row);
    int RowCount() const { return rowCount_; }

    // ---- geometry
    int GetRowHeight() const { return rowHeight_; }
    void SetRowHeight(int value);
    // Rows ask the source for their heights.
    bool GetVariableHeights() const { return variableHeights_; }
    void SetVariableHeights(bool value);
    // Pixels the rows need across (they are as wide as the viewport at least).
    int GetContentWidth() const { return contentWidth_; }
    void SetContentWidth(int value);
    // The row under a point of the client area, -1 when none.
    int RowAt(TPoint p) const;
    // The row's place in client coordinates (wherever it lies).
    TRect RowRect(int row) const;
    int GetTopRow() const;
    void SetTopRow(int row);
    // Rows that fit whole into the viewport (at least 1).
    int VisibleRowCount() const;
    void MakeRowVisible(int row);

    // ---- focus and selection
    bool GetMultiSelect() const { return multiSelect_; }
    // Turning it off keeps the focused row's selection alone.
    void SetMultiSelect(bool value);
    int GetFocusedRow() const { return focused_; }
    // Moves the focus (and the anchor) without touching the selection.
    void SetFocusedRow(int row);
    // The anchor of Shift selection.
    int GetAnchorRow() const { return anchor_; }
    // Selects row alone and focuses it (-1 deselects everything).
    void SelectOnly(int row);
    // Selects the rows between the anchor and row (and only them unless
    // keepOthers), focusing row.
    void SelectRange(int row, bool keepOthers);
    void ToggleRow(int row);
    void ClearSelection();
    int SelectedCount() const;

    // ---- behaviour
    // Selected rows show as such only while the view has the focus.
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    bool GetShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    // A press below the last row deselects every row.
    bool GetClearOnEmptyClick() const { return clearOnEmptyClick_; }
    void SetClearOnEmptyClick(bool value) { clearOnEmptyClick_ = value; }
    // Moving with the left button held selects the rows passed over.
    bool GetDragSelect() const { return dragSelect_; }
    void SetDragSelect(bool value) { dragSelect_ = value; }
    // The pointer selects the row it passes over, with no button held (a
    // drop-down list).
    bool GetTrackMouse() const { return trackMouse_; }
    void SetTrackMouse(bool value) { trackMouse_ = value; }
    // Whether the view draws as focused even without the keyboard (a
    // drop-down list shows its selection as its owner's).
    bool GetActiveLook() const { return activeLook_; }
    void SetActiveLook(bool value);
    // bsSingle: a sunken edge (a plain line without Ctl3D); bsNone: none.
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool GetTypeAhead() const { return typeAhead_; }
    void SetTypeAhead(bool value) { typeAhead_ = value; }
    // Finds the first row from start (going round) whose text begins with
    // prefix, letter case ignored; -1 when none.
    int FindRow(std::string_view prefix, int start) const;
    // A character typed for type-ahead: the row it finds from the focused
    // row on (-1 when none), without selecting it.
    int TypeAheadRow(char ch);

protected:
    // A change of the selection or the focus made by the user has ended.
    virtual void UserSelected() {}
    // Whether the view shows the focus now.
    bool LooksFocused() const;
    // Paints what lies beside and below the rows (the view's colour).
    virtual void PaintEmpty(TCanvas& canvas, const TRect& r);

    void Paint() override;
    uint32_t WMGetDlgCode() override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WMSetFocus() override;
    void WMKillFocus() override;
    void WMSize() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;

private:
    // False when the source's owner, asked for row heights, freed the view.
    bool UpdateContent();
    int RowTop(int row) const;  // content pixels from the first row's top
    void SetSelected(int row, bool selected);
    // Moves the focus to row as a key or press with shift does.
    void GoTo(int row, TShiftState shift, bool fromMouse);

    RowSource* source_ = nullptr;
    int rowCount_ = 0;
    int rowHeight_ = 16;
    bool variableHeights_ = false;
    std::vector<int> tops_;  // variable heights: the top of every row, and the end
    int contentWidth_ = 0;
    int focused_ = -1;
    int anchor_ = -1;
    bool multiSelect_ = false;
    bool hideSelection_ = false;
    bool showFocusRect_ = true;
    bool clearOnEmptyClick_ = false;
    bool dragSelect_ = false;
    bool trackMouse_ = false;
    bool activeLook_ = false;
    bool typeAhead_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    bool ctl3D_ = true;
    bool dragging_ = false;
    int selectionChanges_ = 0;  // counts what SetSelected changed
    std::string typed_;
    uint64_t typedAt_ = 0;
};

}  // namespace thorn
