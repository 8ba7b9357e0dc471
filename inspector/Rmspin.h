#pragma once

#include <cstdint>

#include "inspector/Rmbaseedit.h"

class TrmSpinButton;

// A single-line edit with an up/down button pair inside its right edge. It
// refuses the characters its kind does not take (with a beep), steps its
// value with the buttons and the Up and Down keys, and checks the value when
// the focus leaves. The value lives only in the text.
class TrmCustomSpinEdit : public TrmCustomEdit {
public:
    TrmCustomSpinEdit();
    ~TrmCustomSpinEdit() override;

    TrmSpinButton* GetButton() const { return button_; }
    // Off: nothing is typed, pasted or cut; the buttons and keys still step.
    bool GetEditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    // Keeps the value inside the limits; setting it checks the value at once.
    bool GetUseRanges() const { return useRanges_; }
    void SetUseRanges(bool value);
    // The buttons follow the edit.
    void SetEnabled(bool value) override;

    // The buttons' clicks: a read-only edit beeps, a disabled half does
    // nothing.
    void UpClick(TObject* sender);
    void DownClick(TObject* sender);

protected:
    // Whether the typed character is taken; it may change it. None here.
    virtual bool IsValidChar(char& key) { return false; }
    virtual void DecValue() = 0;
    virtual void IncValue() = 0;
    // Runs after OnExit.
    virtual void ExitCheck() = 0;
    // Checks the value against the limits again.
    virtual void InternalUpdate() = 0;

    // Keeps the text left of the buttons.
    void SetEditRect();
    void WMSize() override;
    void CMExit() override;
    void WMPaste() override;
    void WMCut() override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyPress(char& key) override;

private:
    void PlaceButton();

    TrmSpinButton* button_ = nullptr;
    bool editorEnabled_ = true;
    bool useRanges_ = false;
};

// The integer spin edit: "-" and digits are typed, a step adds Increment,
// and with UseRanges the value stays within MinValue..MaxValue (a half of
// the buttons is disabled at its limit).
class TrmSpinEdit : public TrmCustomSpinEdit {
public:
    TrmSpinEdit();

    int32_t GetMinValue() const { return minValue_; }
    // A limit that would pass the other one is ignored.
    void SetMinValue(int32_t value);
    int32_t GetMaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t value);
    int32_t GetIncrement() const { return increment_; }
    void SetIncrement(int32_t value) { increment_ = value; }
    // The text as a number; text that is none reads as MinValue.
    virtual int32_t GetValue() const;
    // The text becomes the checked value.
    void SetValue(int32_t value);
    // With UseRanges: value kept inside the limits, and each half of the
    // buttons enabled while value has room on its side. Without: value, both
    // halves enabled.
    int32_t CheckValue(int32_t value);

    void PublishProperties(thorn::PropertyList& list) override;
    void Loaded() override;

protected:
    bool IsValidChar(char& key) override;
    void DecValue() override;
    void IncValue() override;
    void ExitCheck() override;
    void InternalUpdate() override;
    // Value plus delta, kept inside the 32-bit range.
    void StepBy(int64_t from, int64_t delta);

private:
    bool Loading() const { return GetComponentState().Contains(csLoading); }

    int32_t minValue_ = 0;
    int32_t maxValue_ = 0;
    int32_t increment_ = 1;
};
