#pragma once

#include <functional>
#include <string>

#include "gui/ControlStrings.h"
#include "gui/Edit.h"
#include "gui/ListBox.h"
#include "gui/PopupWindow.h"
#include "gui/RowView.h"

enum TComboBoxStyle : uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox;

namespace thorn {

// The edit part of an editable combo box: the combo box hears its keys
// first and is told of every change the user makes.
class ComboEdit : public TCustomEdit {
public:
    explicit ComboEdit(TCustomComboBox& combo);

protected:
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyUp(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void Change() override;
    uint32_t WMGetDlgCode() override;

private:
    TCustomComboBox& combo_;
};

}  // namespace thorn

// The combo box: an edit part (or, in the list styles, the chosen item) with
// a button that drops a list of the items below it in a pop-up window.
//
// csDropDown: the user types in the edit part or picks an item;
// csDropDownList: the user picks an item only, and typing finds the item
// that begins with what was typed; csOwnerDrawFixed: as csDropDownList with
// every item (and the chosen one) drawn by OnDrawItem, ItemHeight high.
//
// Keys: Alt+Down, Alt+Up and F4 drop the list or close it keeping the
// highlighted item; while it is closed Up, Down, Page Up, Page Down, Home and
// End pick an item at once; while it is down they move the highlight, Enter
// picks the highlighted item and Escape closes the list leaving things as
// they were. The mouse drops the list with a press on the button (anywhere in
// the list styles), highlights what it passes over in the list and picks
// with a click.
//
// A pick that changes the item runs OnClick, then OnSelect (or OnChange when
// OnSelect is not set); typing runs OnChange. OnDropDown runs before the
// list shows and OnCloseUp after it hides. ItemIndex and Text set by the
// program run no event.
class TCustomComboBox : public TCustomControl,
                        private thorn::RowSource,
                        private thorn::ControlStrings::Listener {
public:
    TCustomComboBox();
    ~TCustomComboBox() override;
    void BeforeDestruction() override;

    TStrings* GetItems() { return &items_; }
    void SetItems(const TStrings& items) { items_.Assign(items); }
    void AddItem(const std::string& text, TObject* object) { items_.AddObject(text, object); }
    void Clear();

    TComboBoxStyle GetStyle() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    // The item shown in the edit part; setting it shows the item's text (-1:
    // none, an empty text).
    int GetItemIndex() const { return itemIndex_; }
    void SetItemIndex(int value);
    // The height of the list's items; the owner-drawn styles take it, the
    // others use their font's.
    int GetItemHeight() const;
    void SetItemHeight(int value);
    // How many items the list shows before it scrolls.
    int GetDropDownCount() const { return dropDownCount_; }
    // A count below one gives the default, 8.
    void SetDropDownCount(int value) { dropDownCount_ = value >= 1 ? value : kDefaultDropDownCount; }
    bool GetDroppedDown() const;
    void SetDroppedDown(bool value);
    bool GetSorted() const { return items_.GetSorted(); }
    void SetSorted(bool value) { items_.SetSorted(value); }
    // A sunken edge, or a plain line without Ctl3D.
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    int GetMaxLength() const { return edit_ ? edit_->GetMaxLength() : 0; }
    void SetMaxLength(int value);

    // The first item after startAfter (-1: from the first), going round,
    // whose text begins with text, letter case ignored; -1 when none (the
    // combo box's own search).
    int FindString(std::string_view text, int startAfter = -1) const;

    // ---- the edit part's selection (the list styles have none)
    int GetSelStart() const;
    void SetSelStart(int value);
    int GetSelLength() const;
    void SetSelLength(int value);
    std::string GetSelText() const;
    void SelectAll();

    // The list and the edit part, for the layer and for tests.
    thorn::RowView* GetListView() const { return list_; }
    TPopupWindow* GetListWindow() const { return popup_; }
    TCustomEdit* GetEditPart() const { return edit_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    friend class thorn::ComboEdit;

    // The user changed the text.
    virtual void Change();
    // The user picked another item: OnSelect, or Change without one.
    virtual void Select();
    virtual void DropDown();
    virtual void CloseUp();
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);

    void Paint() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    // The combo box's own keys (dropping, moving, picking), which KeyDown
    // handles after OnKeyDown.
    void ComboKeyDown(TKey& key, TShiftState shift);
    void KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    uint32_t WMGetDlgCode() override;
    void WMNCCalcSize(TRect& rect) const override;
    void WMNCPaint(TCanvas& canvas) override;
    void WMSetFocus() override;
    void WMKillFocus() override;
    void DoExit() override;
    void WMSize() override;
    void CMTextChanged() override;
    void CMFontChanged() override;
    void CMEnabledChanged() override;

private:
    // thorn::RowSource: the drop-down list's rows are the items
    int RowCount() const override { return items_.GetCount(); }
    std::string RowText(int row) const override { return items_.Get(row); }
    bool IsRowSelected(int row) const override { return row == listIndex_; }
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

    bool IsListStyle() const { return style_ != csDropDown && style_ != csSimple; }
    int FixedHeight() const;
    TRect ButtonRect() const;
    void LayOutEdit();
    // Shows the item's text in the edit part, as the program does.
    void ShowText(const std::string& text);
    // The user picked index: the text follows and the events run when
    // anything changed.
    void Pick(int index);
    void MoveBy(TKey key, bool dropped);
    void ListClosed(TPopupCloseReason reason);
    void EditChanged();

    thorn::ControlStrings items_;
    TComboBoxStyle style_ = csDropDown;
    int itemIndex_ = -1;
    int listIndex_ = -1;  // the list's highlighted row while it is down
    int ownerItemHeight_ = 16;
    static constexpr int kDefaultDropDownCount = 8;
    int dropDownCount_ = kDefaultDropDownCount;
    thorn::ComboEdit* edit_ = nullptr;
    TPopupWindow* popup_ = nullptr;
    thorn::RowView* list_ = nullptr;
    bool ctl3D_ = true;
    bool pressed_ = false;       // the button is held down
    bool pushingText_ = false;   // the program is putting text into the edit part
};

class TComboBox : public TCustomComboBox {};
