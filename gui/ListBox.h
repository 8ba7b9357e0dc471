#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "gui/ControlStrings.h"
#include "gui/RowView.h"

enum TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;

// Draws an item of a list the standard way: highlighted when selected, the
// text two pixels in.
void DrawListItemText(TCanvas& canvas, const TRect& rect, std::string_view text, TOwnerDrawState state,
                      const TFont& font, TColor background);
// Gives canvas the font and brush an owner-drawn item of that state starts
// with (the highlight colours when selected).
void PrepareItemCanvas(TCanvas& canvas, TOwnerDrawState state, const TFont& font, TColor background);

// A list of strings, each with an object, one per row: single or multiple
// selection, the keyboard and type-ahead of the row view, scroll bars, and
// owner drawing with rows of one height (lbOwnerDrawFixed) or each of its
// own (lbOwnerDrawVariable, asked from OnMeasureItem). OnClick runs after
// every change of the selection the user makes.
class TCustomListBox : public thorn::RowView,
                       private thorn::RowSource,
                       private thorn::ControlStrings::Listener {
public:
    TCustomListBox();
    ~TCustomListBox() override;

    TStrings* GetItems() { return &items_; }
    void SetItems(const TStrings& items) { items_.Assign(items); }
    void AddItem(const std::string& text, TObject* object) { items_.AddObject(text, object); }
    void Clear() { items_.Clear(); }
    int GetCount() const { return items_.GetCount(); }

    // The selected item (the focused one with multiple selection); -1 none.
    int GetItemIndex() const;
    // Selects index alone and scrolls it into sight; -1 deselects.
    void SetItemIndex(int index);
    bool GetSelected(int index) const;
    void SetSelected(int index, bool value);
    int GetSelCount() const { return SelectedCount(); }
    void SelectAll();
    void DeleteSelected();
    int GetTopIndex() const { return GetTopRow(); }
    void SetTopIndex(int index) { SetTopRow(index); }
    // The item at pos (client coordinates): with existing, -1 where there is
    // none; without, the item count below the last item.
    int ItemAtPos(TPoint pos, bool existing) const;
    TRect ItemRect(int index) const { return RowRect(index); }

    TListBoxStyle GetStyle() const { return style_; }
    void SetStyle(TListBoxStyle value);
    int GetItemHeight() const { return GetRowHeight(); }
    // Taken in the owner-drawn styles; the standard style's height is the font's.
    void SetItemHeight(int value);
    bool GetSorted() const { return items_.GetSorted(); }
    void SetSorted(bool value) { items_.SetSorted(value); }

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    // Owner-drawn styles run OnDrawItem (or draw the text when it is not
    // set); the standard style draws the text.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);
    void UserSelected() override;
    void CMFontChanged() override;

private:
    // thorn::RowSource
    int RowCount() const override { return items_.GetCount(); }
    std::string RowText(int row) const override { return items_.Get(row); }
    bool IsRowSelected(int row) const override;
    void SetRowSelected(int row, bool selected) override;
    void DrawRow(TCanvas& canvas, int row, const TRect& rect, TOwnerDrawState state) override;
    int RowHeight(int row) const override;
    // thorn::ControlStrings::Listener
    void ItemInserted(int index) override;
    void ItemDeleted(int index) override;
    void ItemsCleared() override;
    void ItemsExchanged(int index1, int index2) override;
    void ItemsReordered(std::span<const int> formerIndex) override;
    void ItemsChanged() override;

    void UpdateItemHeight();

    thorn::ControlStrings items_;
    std::vector<char> selected_;
    TListBoxStyle style_ = lbStandard;
    int ownerItemHeight_ = 16;
};

class TListBox : public TCustomListBox {};
