#include "gui/ListBox.h"

#include <algorithm>

#include "platform/Collections.h"
#include "platform/Text.h"

void DrawListItemText(TCanvas& canvas, const TRect& rect, std::string_view text, TOwnerDrawState state,
                      const TFont& font, TColor background) {
    bool selected = state.Contains(odSelected);
    canvas.FillColor(rect, selected ? clHighlight : background);
    canvas.Font().Assign(font);
    if (selected) canvas.Font().SetColor(clHighlightText);
    if (state.Contains(odDisabled)) canvas.Font().SetColor(clGrayText);
    canvas.Brush().SetStyle(bsClear);
    TRect r{rect.Left + 2, rect.Top, rect.Right, rect.Bottom};
    canvas.DrawText(r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, text);
    canvas.Brush().SetStyle(bsSolid);
}

void PrepareItemCanvas(TCanvas& canvas, TOwnerDrawState state, const TFont& font, TColor background) {
    bool selected = state.Contains(odSelected);
    canvas.Font().Assign(font);
    canvas.Brush().SetColor(selected ? clHighlight : background);
    if (selected) canvas.Font().SetColor(clHighlightText);
}

TCustomListBox::TCustomListBox() : items_(*this) {
    // A click is a change of the selection, not a press and release.
    SetControlStyle(GetControlStyle().Exclude(csClickEvents));
    SetDragSelect(true);
    SetSource(this);
    SetBounds(0, 0, 121, 97);
    UpdateItemHeight();
}

TCustomListBox::~TCustomListBox() = default;

// ---- selection

int TCustomListBox::GetItemIndex() const {
    int focused = GetFocusedRow();
    if (GetMultiSelect()) return focused;
    return focused >= 0 && IsRowSelected(focused) ? focused : -1;
}

void TCustomListBox::SetItemIndex(int index) {
    if (index < -1 || index >= GetCount()) index = -1;
    if (GetMultiSelect()) {
        SetFocusedRow(index);
        return;
    }
    SelectOnly(index);
}

bool TCustomListBox::GetSelected(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return IsRowSelected(index);
}

void TCustomListBox::SetSelected(int index, bool value) {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    if (!GetMultiSelect()) {
        if (value)
            SelectOnly(index);
        else if (IsRowSelected(index))
            SelectOnly(-1);
        return;
    }
    if (IsRowSelected(index) != value) SetRowSelected(index, value);
}

void TCustomListBox::SelectAll() {
    if (!GetMultiSelect()) return;
    for (int i = 0; i < GetCount(); ++i) SetRowSelected(i, true);
}

void TCustomListBox::DeleteSelected() {
    thorn::WithinUpdate(items_, [&] {
        for (int i = GetCount() - 1; i >= 0; --i)
            if (IsRowSelected(i)) items_.Delete(i);
    });
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) const {
    int row = RowAt(pos);
    if (row >= 0 || existing) return row;
    return GetCount();
}

bool TCustomListBox::IsRowSelected(int row) const {
    return row >= 0 && row < static_cast<int>(selected_.size()) && selected_[static_cast<size_t>(row)];
}

void TCustomListBox::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= static_cast<int>(selected_.size())) return;
    selected_[static_cast<size_t>(row)] = selected;
    InvalidateRow(row);
}

void TCustomListBox::UserSelected() { Click(); }

// ---- items

void TCustomListBox::ItemInserted(int index) {
    selected_.insert(selected_.begin() + index, 0);
    RowInserted(index);
}

void TCustomListBox::ItemDeleted(int index) {
    selected_.erase(selected_.begin() + index);
    RowDeleted(index);
}

void TCustomListBox::ItemsCleared() {
    selected_.clear();
    SetFocusedRow(-1);
}

void TCustomListBox::ItemsExchanged(int index1, int index2) {
    std::swap(selected_[static_cast<size_t>(index1)], selected_[static_cast<size_t>(index2)]);
    RowsExchanged(index1, index2);
}

void TCustomListBox::ItemsReordered(std::span<const int> formerIndex) {
    std::vector<char> marks(formerIndex.size(), 0);
    for (size_t i = 0; i < formerIndex.size(); ++i) marks[i] = IsRowSelected(formerIndex[i]);
    selected_ = std::move(marks);
    RowsReordered(formerIndex);
}

void TCustomListBox::ItemsChanged() {
    // Marks out of step with the items (a change that was not announced)
    // start afresh rather than land on other items.
    if (static_cast<int>(selected_.size()) != GetCount()) selected_.assign(static_cast<size_t>(GetCount()), 0);
    RowsChanged();
}

// ---- style and drawing

void TCustomListBox::SetStyle(TListBoxStyle value) {
    if (value == style_) return;
    style_ = value;
    // Measuring the rows may free the list.
    thorn::ComponentRef<TCustomListBox> self(this);
    SetVariableHeights(value == lbOwnerDrawVariable);
    if (self) UpdateItemHeight();
}

void TCustomListBox::SetItemHeight(int value) {
    if (value <= 0) return;
    ownerItemHeight_ = value;
    UpdateItemHeight();
}

void TCustomListBox::UpdateItemHeight() {
    SetRowHeight(style_ == lbStandard ? thorn::GetFontMetrics(GetFont()).height : ownerItemHeight_);
}

void TCustomListBox::CMFontChanged() {
    thorn::RowView::CMFontChanged();
    UpdateItemHeight();
}

int TCustomListBox::RowHeight(int row) const {
    int height = ownerItemHeight_;
    const_cast<TCustomListBox*>(this)->MeasureItem(row, height);
    return height;
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::DrawRow(TCanvas&, int row, const TRect& rect, TOwnerDrawState state) {
    DrawItem(row, rect, state);
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas& canvas = Canvas();
    if (style_ != lbStandard && OnDrawItem) {
        PrepareItemCanvas(canvas, state, GetFont(), GetColor());
        OnDrawItem(this, index, rect, state);
        return;
    }
    DrawListItemText(canvas, rect, items_.Get(index), state, GetFont(), GetColor());
}
