#pragma once

#include <string>

#include "controls/Rmscrnctrls.h"
#include "inspector/ItemEditors.h"
#include "inspector/Rmbtnedit.h"

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
class TrmCustomBtnCombo : public TrmCustomBtnEdit, public thorn::ComboExEditor {
public:
    TrmCustomBtnCombo();
    ~TrmCustomBtnCombo() override;

    TStrings& GetComboItems() const;
    void SetComboItems(const TStrings& value) override;
    // The position of Text among the items, -1 when it is none of them.
    int GetItemIndex() const;
    void SetItemIndex(int value) override;
    bool GetEllipsisBtnVisible() const { return GetBtn2Visible(); }
    void SetEllipsisBtnVisible(bool value) { SetBtn2Visible(value); }
    // 0: as wide as the control.
    int GetDropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int value) { dropDownWidth_ = value; }
    // 0: eight times the control's height.
    int GetDropDownHeight() const { return dropDownHeight_; }
    void SetDropDownHeight(int value) { dropDownHeight_ = value; }
    bool GetDroppedDown() const;
    void SetEnabled(bool value) override;
    TrmCustomScreenListBox* GetListBox() const { return list_; }

    // Shows the list below the control (above it when the screen ends
    // first), on the item of the text.
    void ToggleListBox(TObject* sender);
    // The ellipsis: OnBtnClick.
    void DownClick(TObject* sender);

    void SetEllipsisClick(TNotifyEvent handler) override { OnBtnClick = std::move(handler); }

    TNotifyEvent OnDropDown;
    TNotifyEvent OnBtnClick;
    TNotifyEvent OnCloseUp;

protected:
    virtual void CloseUp();

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
    void HideList();
    // The list hidden and OnCloseUp, as focus loss does.
    void CloseList();
    int ListHeight() const;
    void FocusAndSelect();

    TrmCustomScreenListBox* list_ = nullptr;
    int dropDownWidth_ = 0;
    int dropDownHeight_ = 0;
};

class TrmBtnCombo : public TrmCustomBtnCombo {
public:
    void PublishProperties(thorn::PropertyList& list) override;
};

// Gives the first button of a button edit the look of the library's
// drop-downs: the down arrow of the symbol font, no glyph.
void MakeDropDownButton(TrmCustomBtnEdit& edit);
