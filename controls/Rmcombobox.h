#pragma once

#include "controls/DropDownEdit.h"

// A drop-down combo box made of the button edit, beside the completing
// combo box of the inspector library: an edit with one arrow button that
// drops a list of the items, DropDownCount items high, below it.
//
// Alt+Up, Alt+Down and F4 drop the list or close it (OnCloseUp); while it is
// closed Up and Down step to the item before or after. In the list a press
// or Enter picks an item, Escape closes it leaving the text. A pick of an
// item other than the one the list was dropped on, a step, and Enter in the
// list run InternalChanged (OnChanged).
class TrmCustomComboBox : public thorn::DropDownEdit {
public:
    TrmCustomComboBox();
    ~TrmCustomComboBox() override;

    void SetItemIndex(int value);
    int GetItemHeight() const;
    // A count below one drops the default, 8 items.
    int GetDropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }
    bool DroppedDown() const;
    void SetEnabled(bool value) override;

    TNotifyEvent OnChanged;

protected:
    // Marks the edit modified, then OnChanged.
    virtual void InternalChanged();

    int PrepareDrop() override;
    // OnCloseUp before the list hides.
    void CloseList() override;
    bool EnterTakesItem(int index) const override { return index != droppedIndex_; }
    void ListPicked(int index, bool byEnter) override;
    void KeyDown(TKey& key, TShiftState shift) override;

private:
    int droppedIndex_ = -1;
    static constexpr int kDefaultDropDownCount = 8;
    int dropDownCount_ = kDefaultDropDownCount;
};

class TrmNewComboBox : public TrmCustomComboBox {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};
