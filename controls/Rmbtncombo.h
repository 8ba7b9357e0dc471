#pragma once

#include <string>

#include "controls/DropDownEdit.h"
#include "inspector/ItemEditors.h"

// A drop-down combo made of the button edit: the first button (a down
// arrow) drops a list of the items below the edit, the second (an
// ellipsis) raises OnBtnClick. The extended combo rows of the property grid
// edit through it.
//
// Alt+Down, Alt+Up and F4 drop the list or close it (OnCloseUp); while it is
// closed the arrows, Home, End, Page Up and Page Down step through the items
// at once. In the list a press or Enter picks an item, Escape closes it
// leaving the text. With EditorEnabled off nothing is typed, deleted, pasted
// or cut, but the keys and the list still pick.
class TrmCustomBtnCombo : public thorn::DropDownEdit, public thorn::ComboExEditor {
public:
    TrmCustomBtnCombo();
    ~TrmCustomBtnCombo() override;

    void SetComboItems(const TStrings& value) override { DropDownEdit::SetComboItems(value); }
    void SetItemIndex(int value) override;
    bool GetEllipsisBtnVisible() const { return GetBtn2Visible(); }
    void SetEllipsisBtnVisible(bool value) { SetBtn2Visible(value); }
    // 0 (or below): eight times the control's height.
    int GetDropDownHeight() const { return dropDownHeight_; }
    void SetDropDownHeight(int value) { dropDownHeight_ = value; }
    bool GetDroppedDown() const;
    void SetEnabled(bool value) override;

    // The ellipsis: OnBtnClick.
    void DownClick(TObject* sender);

    void SetEllipsisClick(TNotifyEvent handler) override { OnBtnClick = std::move(handler); }

    TNotifyEvent OnBtnClick;

protected:
    int PrepareDrop() override;
    void KeyDown(TKey& key, TShiftState shift) override;

private:
    int ListHeight() const;

    int dropDownHeight_ = 0;
};

class TrmBtnCombo : public TrmCustomBtnCombo {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};
