#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/ControlStrings.h"
#include "gui/ImageList.h"
#include "gui/RowView.h"

class TCustomListView;
class TListItems;

enum TViewStyle : uint8_t { vsIcon, vsSmallIcon, vsList, vsReport };
enum TItemChange : uint8_t { ctText, ctImage, ctState };
enum TSearchDirection : uint8_t { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum TItemStateMember : uint8_t { isNone, isCut, isDropHilited, isFocused, isSelected, isActivating };
using TItemStates = thorn::EnumSet<TItemStateMember>;

// One column of a list view in report style.
class TListColumn {
public:
    explicit TListColumn(TCustomListView& view) : view_(view) {}
    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& value);
    // The widest a column may be set: the columns' widths are added up, and
    // a width near the integers' end would overflow the sum.
    static constexpr int kMaxWidth = 32767;
    // The width set, 0 .. kMaxWidth; an AutoSize column takes what the
    // others leave.
    int GetWidth() const { return width_; }
    void SetWidth(int value);
    // The width the column has now.
    int GetShownWidth() const;
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    int GetIndex() const;

private:
    TCustomListView& view_;
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = taLeftJustify;
    bool autoSize_ = false;
};

class TListColumns {
public:
    explicit TListColumns(TCustomListView& view) : view_(view) {}
    TListColumn* Add();
    int GetCount() const { return static_cast<int>(columns_.size()); }
    TListColumn* GetItem(int index) const;
    TListColumn* operator[](int index) const { return GetItem(index); }
    void Delete(int index);
    void Clear();
    int IndexOf(const TListColumn* column) const;

private:
    TCustomListView& view_;
    std::vector<std::unique_ptr<TListColumn>> columns_;
};

// A row of a list view: its caption (the first column), the texts of the
// other columns (SubItems), an image, a check mark, its selection and focus,
// and a pointer of the program's (Data). The view owns it; deleting the item
// frees it.
class TListItem : private thorn::ControlStrings::Listener {
public:
    explicit TListItem(TListItems& owner);
    ~TListItem() override;
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListItems& GetOwner() const { return owner_; }
    TCustomListView& GetListView() const;
    int GetIndex() const { return index_; }

    const std::string& GetCaption() const { return caption_; }
    void SetCaption(const std::string& value);
    TStrings* GetSubItems() { return &subItems_; }
    const TStrings* GetSubItems() const { return &subItems_; }
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    bool GetChecked() const { return checked_; }
    void SetChecked(bool value);
    bool GetSelected() const { return selected_; }
    // Fires the view's OnSelectItem (and OnChange) at once, whoever calls.
    void SetSelected(bool value);
    bool GetFocused() const;
    void SetFocused(bool value);
    void* GetData() const { return data_; }
    void SetData(void* value) { data_ = value; }

    // Scrolls the item into sight.
    void MakeVisible(bool partialOK = false);
    // The row's place in the view's client coordinates.
    TRect DisplayRect() const;
    // Takes the item out of its view and frees it.
    void Delete();

private:
    friend class TListItems;
    friend class TCustomListView;
    void ItemsChanged() override;

    TListItems& owner_;
    int index_ = -1;
    std::string caption_;
    thorn::ControlStrings subItems_;
    int imageIndex_ = -1;
    bool checked_ = false;
    bool selected_ = false;
    void* data_ = nullptr;
};

// The rows of a list view.
class TListItems {
public:
    explicit TListItems(TCustomListView& view) : view_(view) {}
    ~TListItems();

    TCustomListView& GetOwner() const { return view_; }
    int GetCount() const { return static_cast<int>(items_.size()); }
    TListItem* GetItem(int index) const;
    TListItem* operator[](int index) const { return GetItem(index); }
    TListItem* Add() { return Insert(GetCount()); }
    TListItem* Insert(int index);
    // A selected item is deselected first (OnSelectItem), then it goes.
    void Delete(int index);
    void Clear();
    int IndexOf(const TListItem* item) const;
    // Between BeginUpdate and the last EndUpdate the view is not laid out
    // or painted again; it catches up at the end.
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return updateCount_; }

private:
    friend class TListItem;
    void Renumber(int from);

    TCustomListView& view_;
    std::vector<std::unique_ptr<TListItem>> items_;
    int updateCount_ = 0;
};

using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;
using TLVDeletedEvent = std::function<void(TObject* sender, TListItem* item)>;

// A list view in report style: a header with the columns' captions above
// rows of items, each with its check box, small image, caption and
// sub-items in the columns. Single or multiple selection with the keys,
// the mouse and type-ahead of the row view; only the rows in sight are
// painted, so thousands of rows scroll as fast as ten.
//
// OnSelectItem runs at once for every item that becomes selected or
// deselected, by the user or the program (deselections first), and for a
// selected item before it is deleted; OnChange follows every change of an
// item's text, image or state (selection, check mark). OnClick runs on a
// click in the rows, OnColumnClick on a click on a column's header.
class TCustomListView : public thorn::RowView, private thorn::RowSource {
public:
    TCustomListView();
    ~TCustomListView() override;

    TListColumns* GetColumns() { return &columns_; }
    TListItems* GetItems() { return &items_; }

    TViewStyle GetViewStyle() const { return viewStyle_; }
    // Every style shows as a report.
    void SetViewStyle(TViewStyle value) { viewStyle_ = value; }
    bool GetCheckboxes() const { return checkboxes_; }
    void SetCheckboxes(bool value);
    // The whole row highlights when selected (else the caption alone).
    bool GetRowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool GetShowColumnHeaders() const { return showColumnHeaders_; }
    void SetShowColumnHeaders(bool value);
    // Clicks on the header raise OnColumnClick and press the column.
    bool GetColumnClick() const { return columnClick_; }
    void SetColumnClick(bool value) { columnClick_ = value; }
    bool GetGridLines() const { return gridLines_; }
    void SetGridLines(bool value);
    TCustomImageList* GetSmallImages() const { return smallImages_.Get(); }
    void SetSmallImages(TCustomImageList* value);
    TCustomImageList* GetLargeImages() const { return largeImages_.Get(); }
    void SetLargeImages(TCustomImageList* value) { largeImages_ = value; }

    // ---- selection and focus
    // The first selected item; setting selects it alone (null: none).
    TListItem* GetSelected() const;
    void SetSelected(TListItem* item);
    TListItem* GetItemFocused() const;
    void SetItemFocused(TListItem* item);
    // The index of Selected, -1 without one.
    int GetItemIndex() const;
    void SetItemIndex(int index);
    int GetSelCount() const { return SelectedCount(); }
    void SelectAll();
    TListItem* GetTopItem() const;
    int GetVisibleRowCount() const { return VisibleRowCount(); }

    // ---- finding items
    // The item after start (or from start, when inclusive; from the first
    // when start is -1) whose Data is data, going round to the top when wrap.
    TListItem* FindData(int start, const void* data, bool inclusive, bool wrap) const;
    TListItem* FindCaption(int start, std::string_view caption, bool partial, bool inclusive, bool wrap) const;
    // The next item after start (null: from the first) below it with every
    // state in states.
    TListItem* GetNextItem(const TListItem* start, TSearchDirection direction, TItemStates states) const;
    TListItem* GetItemAt(int x, int y) const;

    TLVSelectItemEvent OnSelectItem;
    TLVChangeEvent OnChange;
    TLVColumnClickEvent OnColumnClick;
    TLVDeletedEvent OnDeletion;

    // ---- used by the items and columns
    void ItemChanged(TListItem& item, TItemChange change);
    void ItemSelecting(TListItem& item, bool selected);
    void ColumnsChanged();
    int HeaderHeight() const;

protected:
    virtual void SelectItem(TListItem* item, bool selected);
    virtual void Change(TListItem* item, TItemChange change);
    virtual void ColClick(TListColumn* column);
    virtual void DrawItem(TCanvas& canvas, TListItem& item, const TRect& rect, TOwnerDrawState state);

    TRect GetViewport() const override;
    void Click() override;
    void Paint() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WMSize() override;
    void CMFontChanged() override;
    void ScrollPosChanged(TPoint old) override;

private:
    friend class TListItems;
    friend class TListColumn;

    // thorn::RowSource
    int RowCount() const override { return items_.GetCount(); }
    std::string RowText(int row) const override { return items_.GetItem(row)->GetCaption(); }
    bool IsRowSelected(int row) const override { return items_.GetItem(row)->GetSelected(); }
    void SetRowSelected(int row, bool selected) override { items_.GetItem(row)->SetSelected(selected); }
    void DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) override;

    void ItemsUpdated();
    void UpdateRowHeight();
    void LayOut();
    void PaintHeader(TCanvas& canvas);
    int ColumnAt(int x) const;           // client x in the header, -1 none
    TRect ColumnRect(int column) const;  // in the header, client coordinates
    TRect CheckBoxRect(const TRect& row) const;
    int CaptionLeft() const;             // from a row's left

    TListColumns columns_;
    TListItems items_;
    TViewStyle viewStyle_ = vsReport;
    bool checkboxes_ = false;
    bool rowSelect_ = false;
    bool readOnly_ = false;
    bool showColumnHeaders_ = true;
    bool columnClick_ = true;
    bool gridLines_ = false;
    thorn::ComponentRef<TCustomImageList> smallImages_;
    thorn::ComponentRef<TCustomImageList> largeImages_;
    std::shared_ptr<void> smallImagesSubscription_;
    std::vector<int> shownWidths_;
    int pressedColumn_ = -1;
    bool pressedInside_ = false;
    bool headerPress_ = false;  // the last press was on the header
};

class TListView : public TCustomListView {};
