#include "gui/ListView.h"

#include <algorithm>

#include "gui/Edges.h"
#include "gui/Forms.h"
#include "platform/Collections.h"
#include "platform/Text.h"

namespace {

constexpr int kCheckWidth = 16;  // the check box's column within the first cell
constexpr int kTextInset = 2;    // between a cell's edge and its text

uint32_t AlignmentFlags(TAlignment alignment) {
    return alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
}

}  // namespace

// ================================================================== columns

void TListColumn::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    view_.ColumnsChanged();
}

void TListColumn::SetWidth(int value) {
    value = std::clamp(value, 0, kMaxWidth);
    if (value == width_) return;
    width_ = value;
    view_.ColumnsChanged();
}

int TListColumn::GetShownWidth() const {
    int index = GetIndex();
    const auto& widths = view_.shownWidths_;
    return index >= 0 && index < static_cast<int>(widths.size()) ? widths[static_cast<size_t>(index)] : width_;
}

void TListColumn::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    view_.ColumnsChanged();
}

void TListColumn::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    view_.ColumnsChanged();
}

int TListColumn::GetIndex() const { return view_.GetColumns()->IndexOf(this); }

TListColumn* TListColumns::Add() {
    columns_.push_back(std::make_unique<TListColumn>(view_));
    view_.ColumnsChanged();
    return columns_.back().get();
}

TListColumn* TListColumns::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return columns_[static_cast<size_t>(index)].get();
}

void TListColumns::Delete(int index) {
    GetItem(index);
    columns_.erase(columns_.begin() + index);
    view_.ColumnsChanged();
}

void TListColumns::Clear() {
    columns_.clear();
    view_.ColumnsChanged();
}

int TListColumns::IndexOf(const TListColumn* column) const {
    for (int i = 0; i < GetCount(); ++i)
        if (columns_[static_cast<size_t>(i)].get() == column) return i;
    return -1;
}

// ==================================================================== items

TListItem::TListItem(TListItems& owner) : owner_(owner), subItems_(*this) {}

TListItem::~TListItem() = default;

TCustomListView& TListItem::GetListView() const { return owner_.GetOwner(); }

void TListItem::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    GetListView().ItemChanged(*this, ctText);
}

void TListItem::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    imageIndex_ = value;
    GetListView().ItemChanged(*this, ctImage);
}

void TListItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    GetListView().ItemChanged(*this, ctState);
}

void TListItem::SetSelected(bool value) {
    if (value == selected_) return;
    GetListView().ItemSelecting(*this, value);
}

bool TListItem::GetFocused() const { return GetListView().GetFocusedRow() == index_; }

void TListItem::SetFocused(bool value) {
    TCustomListView& view = GetListView();
    if (value)
        view.SetFocusedRow(index_);
    else if (GetFocused())
        view.SetFocusedRow(-1);
}

void TListItem::MakeVisible(bool) { GetListView().MakeRowVisible(index_); }

TRect TListItem::DisplayRect() const { return GetListView().RowRect(index_); }

void TListItem::Delete() { owner_.Delete(index_); }

void TListItem::ItemsChanged() { GetListView().InvalidateRow(index_); }

TListItems::~TListItems() = default;

TListItem* TListItems::GetItem(int index) const {
    if (index < 0 || index >= GetCount()) ThrowListIndexError(index);
    return items_[static_cast<size_t>(index)].get();
}

void TListItems::Renumber(int from) {
    for (int i = from; i < GetCount(); ++i) items_[static_cast<size_t>(i)]->index_ = i;
}

TListItem* TListItems::Insert(int index) {
    if (index < 0 || index > GetCount()) ThrowListIndexError(index);
    items_.insert(items_.begin() + index, std::make_unique<TListItem>(*this));
    Renumber(index);
    view_.RowInserted(index);
    view_.ItemsUpdated();
    return items_[static_cast<size_t>(index)].get();
}

void TListItems::Delete(int index) {
    TListItem* item = GetItem(index);
    // The handlers may free the view, and these items with it.
    const thorn::ComponentWatch view(&view_);
    item->SetSelected(false);
    if (view.Freed()) return;
    index = item->index_;  // a handler may have moved it
    if (view_.OnDeletion) view_.OnDeletion(&view_, item);
    if (view.Freed()) return;
    index = IndexOf(item);
    if (index < 0) return;
    auto gone = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    Renumber(index);
    view_.RowDeleted(index);
    view_.ItemsUpdated();
}

void TListItems::Clear() {
    if (items_.empty()) return;
    // OnDeletion may free the view, and these items with it.
    const thorn::ComponentWatch view(&view_);
    BeginUpdate();
    struct End {
        TListItems& items;
        const thorn::ComponentWatch& view;
        ~End() {
            if (!view.Freed()) items.EndUpdate();
        }
    } end{*this, view};
    while (!items_.empty()) {
        Delete(GetCount() - 1);
        if (view.Freed()) return;
    }
}

int TListItems::IndexOf(const TListItem* item) const {
    if (item && &item->owner_ == this && item->index_ >= 0 && item->index_ < GetCount() &&
        items_[static_cast<size_t>(item->index_)].get() == item)
        return item->index_;
    return -1;
}

void TListItems::BeginUpdate() { ++updateCount_; }

void TListItems::EndUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) view_.ItemsUpdated();
}

// ================================================================ the view

TCustomListView::TCustomListView() : columns_(*this), items_(*this) {
    SetScrollBars(ssBoth);
    SetShowFocusRect(false);  // the items draw their own, round the caption or the row
    SetClearOnEmptyClick(true);
    SetHideSelection(true);
    SetSource(this);
    SetBounds(0, 0, 250, 150);
    UpdateRowHeight();
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::ItemsUpdated() {
    if (items_.GetUpdateCount() > 0) return;
    RowsChanged();
}

void TCustomListView::ItemChanged(TListItem& item, TItemChange change) {
    if (items_.GetUpdateCount() == 0) InvalidateRow(item.GetIndex());
    Change(&item, change);
}

void TCustomListView::ItemSelecting(TListItem& item, bool selected) {
    thorn::ComponentRef<TCustomListView> self(this);
    if (selected && !GetMultiSelect())
        for (int i = 0; i < items_.GetCount() && self; ++i) {
            TListItem* other = items_.GetItem(i);
            if (other != &item && other->selected_) other->SetSelected(false);
        }
    if (!self || item.selected_ == selected || items_.IndexOf(&item) < 0) return;
    item.selected_ = selected;
    ItemChanged(item, ctState);
    if (self) SelectItem(&item, selected);
}

void TCustomListView::SelectItem(TListItem* item, bool selected) {
    if (OnSelectItem) OnSelectItem(this, item, selected);
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
    if (OnChange) OnChange(this, item, change);
}

void TCustomListView::ColClick(TListColumn* column) {
    if (OnColumnClick) OnColumnClick(this, column);
}

// ---- settings

void TCustomListView::SetCheckboxes(bool value) {
    if (value == checkboxes_) return;
    checkboxes_ = value;
    UpdateRowHeight();
    Invalidate();
}

void TCustomListView::SetRowSelect(bool value) {
    if (value == rowSelect_) return;
    rowSelect_ = value;
    Invalidate();
}

void TCustomListView::SetShowColumnHeaders(bool value) {
    if (value == showColumnHeaders_) return;
    showColumnHeaders_ = value;
    UpdateScrollBars();
    Invalidate();
}

void TCustomListView::SetGridLines(bool value) {
    if (value == gridLines_) return;
    gridLines_ = value;
    Invalidate();
}

void TCustomListView::SetSmallImages(TCustomImageList* value) {
    smallImages_ = value;
    smallImagesSubscription_.reset();
    if (value) smallImagesSubscription_ = value->Subscribe([this] {
        UpdateRowHeight();
        Invalidate();
    });
    UpdateRowHeight();
    Invalidate();
}

void TCustomListView::CMFontChanged() {
    thorn::RowView::CMFontChanged();
    UpdateRowHeight();
    UpdateScrollBars();
    Invalidate();
}

void TCustomListView::UpdateRowHeight() {
    // A row holds a line of text, a check box and a small image.
    int height = thorn::GetFontMetrics(GetFont()).height + 2;
    if (checkboxes_) height = std::max(height, 15);
    if (TCustomImageList* images = smallImages_.Get()) height = std::max(height, images->GetHeight() + 1);
    SetRowHeight(height);
}

void TCustomListView::Click() {
    // A click on the header is the column's, not the list's.
    if (!headerPress_) thorn::RowView::Click();
}

// ---- selection

TListItem* TCustomListView::GetSelected() const { return GetNextItem(nullptr, sdAll, {isSelected}); }

void TCustomListView::SetSelected(TListItem* item) {
    if (!item) {
        ClearSelection();
        return;
    }
    thorn::ComponentRef<TCustomListView> self(this);
    for (int i = 0; i < items_.GetCount() && self; ++i)
        if (items_.GetItem(i) != item) items_.GetItem(i)->SetSelected(false);
    if (self) item->SetSelected(true);
}

TListItem* TCustomListView::GetItemFocused() const {
    int row = GetFocusedRow();
    return row >= 0 && row < items_.GetCount() ? items_.GetItem(row) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) { SetFocusedRow(item ? item->GetIndex() : -1); }

int TCustomListView::GetItemIndex() const {
    TListItem* item = GetSelected();
    return item ? item->GetIndex() : -1;
}

void TCustomListView::SetItemIndex(int index) {
    SetSelected(index >= 0 && index < items_.GetCount() ? items_.GetItem(index) : nullptr);
}

void TCustomListView::SelectAll() {
    if (!GetMultiSelect()) return;
    for (int i = 0; i < items_.GetCount(); ++i) items_.GetItem(i)->SetSelected(true);
}

TListItem* TCustomListView::GetTopItem() const {
    int row = GetTopRow();
    return row < items_.GetCount() ? items_.GetItem(row) : nullptr;
}

TListItem* TCustomListView::FindData(int start, const void* data, bool inclusive, bool wrap) const {
    int n = items_.GetCount();
    int from = start < 0 ? 0 : inclusive ? start : start + 1;
    for (int k = 0; k < n; ++k) {
        int i = from + k;
        if (i >= n) {
            if (!wrap) break;
            i -= n;
        }
        if (items_.GetItem(i)->GetData() == data) return items_.GetItem(i);
    }
    return nullptr;
}

TListItem* TCustomListView::FindCaption(int start, std::string_view caption, bool partial, bool inclusive,
                                        bool wrap) const {
    int n = items_.GetCount();
    int from = start < 0 ? 0 : inclusive ? start : start + 1;
    for (int k = 0; k < n; ++k) {
        int i = from + k;
        if (i >= n) {
            if (!wrap) break;
            i -= n;
        }
        std::string_view text = items_.GetItem(i)->GetCaption();
        if (partial ? text.size() >= caption.size() && thorn::SameText(text.substr(0, caption.size()), caption)
                    : thorn::SameText(text, caption))
            return items_.GetItem(i);
    }
    return nullptr;
}

TListItem* TCustomListView::GetNextItem(const TListItem* start, TSearchDirection, TItemStates states) const {
    int from = start ? items_.IndexOf(start) + 1 : 0;
    for (int i = std::max(0, from); i < items_.GetCount(); ++i) {
        TListItem* item = items_.GetItem(i);
        if (states.Contains(isSelected) && !item->GetSelected()) continue;
        if (states.Contains(isFocused) && !item->GetFocused()) continue;
        return item;
    }
    return nullptr;
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
    int row = RowAt({x, y});
    return row >= 0 ? items_.GetItem(row) : nullptr;
}

// ---- layout

int TCustomListView::HeaderHeight() const {
    return showColumnHeaders_ ? thorn::GetFontMetrics(GetFont()).height + 4 : 0;
}

TRect TCustomListView::GetViewport() const {
    TRect r = GetClientRect();
    r.Top = std::min(r.Bottom, r.Top + HeaderHeight());
    return r;
}

void TCustomListView::ColumnsChanged() {
    LayOut();
    Invalidate();
}

void TCustomListView::LayOut() {
    int count = columns_.GetCount();
    shownWidths_.assign(static_cast<size_t>(count), 0);
    int fixed = 0, autos = 0;
    for (int i = 0; i < count; ++i) {
        if (columns_.GetItem(i)->GetAutoSize())
            ++autos;
        else
            fixed += columns_.GetItem(i)->GetWidth();
    }
    int left = std::max(0, GetViewport().Width() - fixed);
    int total = 0;
    for (int i = 0; i < count; ++i) {
        TListColumn* c = columns_.GetItem(i);
        int w = c->GetWidth();
        if (c->GetAutoSize()) {
            // The columns that size themselves share what the others leave.
            w = std::max(w, left / autos);
            left -= left / autos;
            --autos;
        }
        shownWidths_[static_cast<size_t>(i)] = w;
        total += w;
    }
    SetContentWidth(total);
}

void TCustomListView::WMSize() {
    thorn::RowView::WMSize();
    LayOut();
}

void TCustomListView::ScrollPosChanged(TPoint old) {
    thorn::RowView::ScrollPosChanged(old);
    if (old.X != GetScrollPos().X) InvalidateRect({0, 0, GetClientWidth(), HeaderHeight()});
}

TRect TCustomListView::ColumnRect(int column) const {
    int x = GetContentOrigin().X;
    for (int i = 0; i < column; ++i) x += shownWidths_[static_cast<size_t>(i)];
    return {x, 0, x + shownWidths_[static_cast<size_t>(column)], HeaderHeight()};
}

int TCustomListView::ColumnAt(int x) const {
    for (int i = 0; i < static_cast<int>(shownWidths_.size()); ++i) {
        TRect r = ColumnRect(i);
        if (x >= r.Left && x < r.Right) return i;
    }
    return -1;
}

int TCustomListView::CaptionLeft() const {
    int x = kTextInset;
    if (checkboxes_) x += kCheckWidth;
    if (TCustomImageList* images = smallImages_.Get()) x += images->GetWidth() + kTextInset;
    return x;
}

TRect TCustomListView::CheckBoxRect(const TRect& row) const {
    int top = row.Top + (row.Height() - 13) / 2;
    return {row.Left + kTextInset, top, row.Left + kTextInset + 13, top + 13};
}

// ---- painting

void TCustomListView::Paint() {
    thorn::RowView::Paint();
    if (showColumnHeaders_) PaintHeader(Canvas());
}

void TCustomListView::PaintHeader(TCanvas& canvas) {
    int height = HeaderHeight();
    TRect header{0, 0, GetClientWidth(), height};
    TRect shown;
    if (!IntersectRect(shown, header, canvas.GetClipRect())) return;
    canvas.FillColor(header, clBtnFace);
    int right = header.Left;
    for (int i = 0; i < static_cast<int>(shownWidths_.size()); ++i) {
        TRect r = ColumnRect(i);
        right = r.Right;
        if (r.Right <= shown.Left || r.Left >= shown.Right || r.Width() == 0) continue;
        TRect face = r;
        bool pressed = i == pressedColumn_ && pressedInside_;
        DrawEdge(canvas, face, pressed ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
        TRect text{face.Left + 4, face.Top, face.Right - 4, face.Bottom};
        if (pressed) OffsetRect(text, 1, 1);
        canvas.Font().Assign(GetFont());
        canvas.Font().SetColor(clBtnText);
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(text,
                        AlignmentFlags(columns_.GetItem(i)->GetAlignment()) | DT_SINGLELINE | DT_VCENTER |
                            DT_END_ELLIPSIS | DT_NOPREFIX,
                        columns_.GetItem(i)->GetCaption());
        canvas.Brush().SetStyle(bsSolid);
    }
    // The empty part of the header beyond the last column.
    if (right < header.Right) {
        TRect rest{right, 0, header.Right + 2, height};
        DrawEdge(canvas, rest, EDGE_RAISED, BF_RECT | BF_SOFT);
    }
}

void TCustomListView::DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) {
    DrawItem(canvas, *items_.GetItem(row), rect, state);
}

void TCustomListView::DrawItem(TCanvas& canvas, TListItem& item, const TRect& rect, TOwnerDrawState state) {
    canvas.FillColor(rect, GetColor());
    bool selected = state.Contains(odSelected);
    // Without the focus the selection shows in the button face.
    TColor selectColor = LooksFocused() ? clHighlight : clBtnFace;
    TColor selectText = LooksFocused() ? clHighlightText : clWindowText;
    TRect first = rect;
    if (!shownWidths_.empty()) first.Right = first.Left + shownWidths_[0];
    canvas.Font().Assign(GetFont());
    int captionWidth = canvas.TextWidth(item.GetCaption()) + 2 * kTextInset;
    TRect label{first.Left + CaptionLeft(), rect.Top, std::min(first.Right, first.Left + CaptionLeft() + captionWidth),
                rect.Bottom};
    TRect highlight = rowSelect_ ? rect : label;
    if (selected) canvas.FillColor(highlight, selectColor);

    if (checkboxes_) {
        TRect box = CheckBoxRect(first);
        DrawFrameControl(canvas, box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (item.GetChecked() ? DFCS_CHECKED : 0));
    }
    if (TCustomImageList* images = smallImages_.Get(); images && item.GetImageIndex() >= 0) {
        int x = first.Left + kTextInset + (checkboxes_ ? kCheckWidth : 0);
        int y = rect.Top + (rect.Height() - images->GetHeight()) / 2;
        images->Draw(canvas, x, y, item.GetImageIndex(), selected && LooksFocused() ? idsSelected : idsNormal);
    }

    int columns = std::max(1, static_cast<int>(shownWidths_.size()));
    int x = rect.Left;
    for (int c = 0; c < columns; ++c) {
        int width = shownWidths_.empty() ? rect.Width() : shownWidths_[static_cast<size_t>(c)];
        TRect cell{x, rect.Top, x + width, rect.Bottom};
        x += width;
        if (width <= 0) continue;
        std::string text;
        if (c == 0)
            text = item.GetCaption();
        else if (c - 1 < item.GetSubItems()->GetCount())
            text = item.GetSubItems()->Get(c - 1);
        TAlignment alignment = c == 0 || shownWidths_.empty() ? taLeftJustify : columns_.GetItem(c)->GetAlignment();
        TRect box = c == 0 ? TRect{label.Left + kTextInset, cell.Top, cell.Right - kTextInset, cell.Bottom}
                           : TRect{cell.Left + 2 * kTextInset, cell.Top, cell.Right - 2 * kTextInset, cell.Bottom};
        bool lit = selected && (rowSelect_ || c == 0);
        canvas.Font().SetColor(!IsEnabledDeep() ? clGrayText : lit ? selectText : GetFont().GetColor());
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(box, AlignmentFlags(alignment) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX,
                        text);
        canvas.Brush().SetStyle(bsSolid);
        if (gridLines_) canvas.FillColor({cell.Right - 1, cell.Top, cell.Right, cell.Bottom}, clBtnFace);
    }
    if (gridLines_) canvas.FillColor({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, clBtnFace);
    if (state.Contains(odFocused)) canvas.DrawFocusRect(highlight);
}

// ---- input

void TCustomListView::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_SPACE && checkboxes_ && !shift.Contains(ssCtrl)) {
        thorn::ComponentRef<TCustomListView> self(this);
        thorn::ScrollingControl::KeyDown(key, shift);  // OnKeyDown first
        if (!self || key == 0) return;
        if (TListItem* item = GetItemFocused()) item->SetChecked(!item->GetChecked());
        key = 0;
        return;
    }
    thorn::RowView::KeyDown(key, shift);
}

void TCustomListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    headerPress_ = y < HeaderHeight();
    if (headerPress_) {
        // The header: a column is pressed while the button is held.
        if (button == mbLeft && columnClick_) {
            pressedColumn_ = ColumnAt(x);
            pressedInside_ = true;
            InvalidateRect({0, 0, GetClientWidth(), HeaderHeight()});
        }
        thorn::ScrollingControl::MouseDown(button, shift, x, y);
        return;
    }
    int row = RowAt({x, y});
    if (button == mbLeft && checkboxes_ && row >= 0 && !shift.Contains(ssDouble) &&
        PtInRect(CheckBoxRect(RowRect(row)), {x, y})) {
        // The check box turns over; the selection stays.
        if (CanFocus() && !Focused()) SetFocus();
        TListItem* item = items_.GetItem(row);
        item->SetChecked(!item->GetChecked());
        thorn::ScrollingControl::MouseDown(button, shift, x, y);
        return;
    }
    thorn::RowView::MouseDown(button, shift, x, y);
}

void TCustomListView::MouseMove(TShiftState shift, int x, int y) {
    if (pressedColumn_ >= 0) {
        bool inside = y >= 0 && y < HeaderHeight() && ColumnAt(x) == pressedColumn_;
        if (inside != pressedInside_) {
            pressedInside_ = inside;
            InvalidateRect({0, 0, GetClientWidth(), HeaderHeight()});
        }
    }
    thorn::RowView::MouseMove(shift, x, y);
}

void TCustomListView::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    int pressed = pressedColumn_;
    bool inside = pressedInside_;
    pressedColumn_ = -1;
    pressedInside_ = false;
    if (pressed >= 0) {
        InvalidateRect({0, 0, GetClientWidth(), HeaderHeight()});
        thorn::ComponentRef<TCustomListView> self(this);
        if (inside) ColClick(columns_.GetItem(pressed));
        if (!self) return;
    }
    thorn::RowView::MouseUp(button, shift, x, y);
}
