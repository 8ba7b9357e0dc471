#pragma once

#include "controls/Rmscrnctrls.h"
#include "inspector/Rmbtnedit.h"

// Gives the first button of a button edit the look of the library's
// drop-downs: the down arrow of the symbol font, no glyph.
void MakeDropDownButton(TrmCustomBtnEdit& edit);

namespace thorn {

// The drop-down half of the library's combos made of the button edit (the
// button combo and the popup-list combo box): the first button drops a list
// of the items on the screen below the edit (above it where the screen ends
// first), on the item of the text. In the list a press picks the item under
// it, Enter the selected one, Escape closes it leaving the text; a pick
// puts the item in the text and refocuses the edit with its text selected.
// Losing the focus, a cancelled mode, or the window losing the keyboard
// closes the list (OnCloseUp). Enter types nothing, and with EditorEnabled
// off no key does.
//
// What differs between the combos is theirs: how high the list drops, which
// keys step through the items, and what a pick adds.
class DropDownEdit : public TrmCustomBtnEdit {
public:
    ~DropDownEdit() override;

    TStrings& GetComboItems() const;
    void SetComboItems(const TStrings& value);
    // The position of Text among the items, -1 when it is none of them.
    int GetItemIndex() const;
    // 0 (or below): as wide as the control.
    int GetDropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int value) { dropDownWidth_ = value; }
    TrmCustomScreenListBox* GetListBox() const { return list_; }

    // Shows the list below the control (above it when the screen ends
    // first): OnDropDown, then the control takes the focus and selects its
    // text, then the list shows.
    void ToggleListBox(TObject* sender);

    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    DropDownEdit();

    // OnCloseUp.
    virtual void CloseUp();
    // Readies the list to drop (its font, its item) and answers its height.
    virtual int PrepareDrop() = 0;
    // Focus loss and cancel mode with the list shown: the list hides, then
    // CloseUp.
    virtual void CloseList();
    // Whether Enter in the list puts its selected item (index >= 0) in the
    // text.
    virtual bool EnterTakesItem(int index) const { return true; }
    // After a pick from the list (a press, or Enter: byEnter) has set the
    // text and refocused the control; index is the list's item.
    virtual void ListPicked(int index, bool byEnter) {}

    // The keys both combos take before their own: Delete does nothing with
    // EditorEnabled off; F4 without shift keys, or Up or Down with Alt as
    // the combo counts it (altHeld), drops the list or closes it
    // (CloseUp). Answers whether the key was used up.
    bool DropDownKey(TKey& key, TShiftState shift, bool altHeld);
    // Focuses the control when it can and selects its text.
    void FocusAndSelect();

    void KeyPress(char& key) override;
    void CMFontChanged() override;
    void CMCancelMode() override;
    void WMKillFocus() override;
    void BeforeDestruction() override;

private:
    void DoLBKeyDown(TObject* sender, TKey& key, TShiftState shift);
    void DoLBMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void DoLBExit(TObject* sender);
    void HideAndCloseUp();

    TrmCustomScreenListBox* list_ = nullptr;
    int dropDownWidth_ = 0;
};

}  // namespace thorn
