#pragma once

#include "controls/Rmscrnctrls.h"
#include "inspector/Rmbtnedit.h"

// A drop-down combo box made of the button edit, beside the completing
// combo box of the inspector library: an edit with one arrow button that
// drops a list of the items, DropDownCount items high, below it.
//
// Alt+Up, Alt+Down and F4 drop the list or close it (OnCloseUp); while it is
// closed Up and Down step to the item before or after. In the list a press
// or Enter picks an item, Escape closes it leaving the text. A pick of an
// item other than the one the list was dropped on, a step, and Enter in the
// list run InternalChanged (OnChanged).
class TrmCustomComboBox : public TrmCustomBtnEdit {
public:
    TrmCustomComboBox();
    ~TrmCustomComboBox() override;

    TStrings& GetComboItems() const;
    void SetComboItems(const TStrings& value);
    int GetItemIndex() const;
    void SetItemIndex(int value);
    int GetItemHeight() const;
    // 0: as wide as the control.
    int GetDropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int value) { dropDownWidth_ = value; }
    int GetDropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }
    bool DroppedDown() const;
    void SetEnabled(bool value) override;
    TrmCustomScreenListBox* GetListBox() const { return list_; }

    void ToggleListBox(TObject* sender);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TNotifyEvent OnChanged;

protected:
    // Marks the edit modified, then OnChanged.
    virtual void InternalChanged();

    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    void CMFontChanged() override;
    void CMCancelMode() override;
    void WMKillFocus() override;
    void BeforeDestruction() override;

private:
    void DoLBKeyDown(TObject* sender, TKey& key, TShiftState shift);
    void DoLBMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void DoLBExit(TObject* sender);
    void CloseList();
    void FocusAndSelect();

    TrmCustomScreenListBox* list_ = nullptr;
    int droppedIndex_ = -1;
    int dropDownWidth_ = 0;
    int dropDownCount_ = 8;
};

class TrmNewComboBox : public TrmCustomComboBox {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};
