#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/Controls.h"

// Owner-drawn check boxes: the box and the caption are drawn here, so the
// background can take a chosen colour, the box can sit left, right or in
// the middle, and the caption can show the state itself. The grid's check
// box rows open descendants of these as their editors.

enum TCBXAlignment : uint8_t { cbxLeft, cbxRight, cbxCentered };
enum TCBExState : uint8_t { cbxUndefined, cbxTrue, cbxFalse };

class TrmCustomCheckBox : public TCustomControl {
public:
    TrmCustomCheckBox();

    // Two-state box: the caption shows "True" or "False"; three-state box:
    // the caption is left alone instead of showing the state's caption.
    bool GetCaptionTrueFalse() const { return captionTrueFalse_; }
    void SetCaptionTrueFalse(bool value);
    // Fill with BackgroundColor instead of Color.
    bool GetFillBackground() const { return fillBackground_; }
    void SetFillBackground(bool value);
    TColor GetBackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor value);
    TCBXAlignment GetCBXAlignment() const { return alignment_; }
    void SetCBXAlignment(TCBXAlignment value);
    bool GetFlat() const { return flat_; }
    void SetFlat(bool value);
    bool GetShowFocusRect() const { return showFocusRect_; }
    void SetShowFocusRect(bool value);
    bool GetChecked() const { return checked_; }
    // Stores the state only: no event, no repaint.
    void SetChecked(bool value) { checked_ = value; }

    // The box (13 by 13) and the caption's text extent, in client coordinates.
    TRect CBXRect() const;
    TRect CaptionRect();

    // Whether the control asks for the Tab and the arrow keys itself.
    bool WantTabs = false;
    bool WantArrows = false;

    // Every change: a click, a Space, the accelerator, the value setters.
    TNotifyEvent OnChange;

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    void Paint() override;
    virtual void PaintCheck(const TRect& box);
    // The box's frame-control state shared by both kinds: flat and pushed.
    uint32_t PushState() const;
    // Runs OnClick (or the action), repaints and runs OnChange.
    void Click() override;
    void DoChange();

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(TKey& key, TShiftState shift) override;
    void KeyUp(TKey& key, TShiftState shift) override;
    void WMButtonUp(const TWMMouse& message) override;
    bool CMDialogChar(char ch, TShiftState shift) override;
    void CMFocusChanged(TWinControl* focused) override;
    void CMMouseLeave() override;
    void CMTextChanged() override;
    bool WMEraseBkgnd(TCanvas& canvas) override { return false; }
    uint32_t WMGetDlgCode() override;

private:
    bool InsideBoxOrCaption(int x, int y);

    bool captionTrueFalse_ = false;
    bool fillBackground_ = false;
    TColor backgroundColor_ = clWindow;
    bool mousePressed_ = false;
    bool spacePressed_ = false;
    bool mouseOver_ = false;
    TCBXAlignment alignment_ = cbxLeft;
    bool flat_ = false;
    bool showFocusRect_ = true;
    bool checked_ = false;
};

// The two-state check box.
class TrmCheckBox : public TrmCustomCheckBox {
public:
    // Stores a changed state, runs OnChange and repaints.
    void SetCheckedEx(bool value);

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    void Paint() override;
};

class TrmCheckBoxEx;

// The captions of the three states.
class TrmCheckBoxExStrings : public TPersistent {
public:
    explicit TrmCheckBoxExStrings(TrmCheckBoxEx* owner = nullptr) : owner_(owner) {}

    TrmCheckBoxEx* GetOwner() const { return owner_; }
    const std::string& GetUndefined() const { return undefined_; }
    void SetUndefined(const std::string& value);
    const std::string& GetTrueState() const { return trueState_; }
    void SetTrueState(const std::string& value);
    const std::string& GetFalseState() const { return falseState_; }
    void SetFalseState(const std::string& value);
    const std::string& CaptionOf(TCBExState state) const;

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    void Changed();

    TrmCheckBoxEx* owner_;
    std::string undefined_ = "Undefined";
    std::string trueState_ = "True";
    std::string falseState_ = "False";
};

// The three-state check box. A click steps True, False, True ... (with
// FullMode: True, False, Undefined ...). The program may show the
// undefined state (a mixed selection) whatever FullMode says: that shows
// the grey box and reports no change, since nothing was changed.
class TrmCheckBoxEx : public TrmCustomCheckBox {
public:
    TrmCheckBoxEx();

    TCBExState GetValue() const { return value_; }
    // Stores a changed value and repaints; a value other than Undefined
    // also runs OnChange.
    void SetValue(TCBExState value);
    bool GetFullMode() const { return fullMode_; }
    void SetFullMode(bool value) { fullMode_ = value; }
    // A disabled box is drawn as an enabled one.
    bool GetAlwaysLight() const { return alwaysLight_; }
    void SetAlwaysLight(bool value);
    TrmCheckBoxExStrings& GetStrings() const { return *strings_; }
    // Takes a copy of the captions.
    void SetStrings(const TrmCheckBoxExStrings& value) { strings_->Assign(value); }

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    void Paint() override;
    void PaintCheck(const TRect& box) override;
    void Click() override;

private:
    TCBExState value_ = cbxUndefined;
    bool fullMode_ = false;
    bool alwaysLight_ = false;
    std::unique_ptr<TrmCheckBoxExStrings> strings_;
};
