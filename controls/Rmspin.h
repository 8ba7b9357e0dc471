#pragma once

#include <cstdint>

#include "inspector/Rmspin.h"
#include "platform/DateTime.h"

// Two more kinds of the spin edit, beside the integer one of the inspector
// library: a floating-point number, and a time of day.

// A number with a fractional part: the sign, digits and the decimal point
// are typed, a step adds Increment, and with UseRanges the value stays within
// MinValue..MaxValue. Text that is no number reads as MinValue.
class TrmFloatSpinEdit : public TrmCustomSpinEdit {
public:
    TrmFloatSpinEdit();

    double GetMinValue() const { return minValue_; }
    // A limit that would pass the other one, or NaN, is ignored.
    void SetMinValue(double value);
    double GetMaxValue() const { return maxValue_; }
    void SetMaxValue(double value);
    double GetIncrement() const { return increment_; }
    void SetIncrement(double value) { increment_ = value; }
    double GetValue() const;
    // NaN changes nothing.
    void SetValue(double value);
    // As the integer kind's: kept inside the limits with UseRanges, each half
    // of the buttons enabled while there is room on its side.
    double CheckValue(double value);

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    bool IsValidChar(char& key) override;
    void DecValue() override;
    void IncValue() override;
    void ExitCheck() override;
    void InternalUpdate() override;

private:
    // The value moved by delta, then all of it selected.
    void StepBy(double delta);

    double minValue_ = 0;
    double maxValue_ = 0;
    double increment_ = 1.0;
};

enum TrmTimeDisplay : uint8_t { td24Hour, td12Hour };

// A time of day shown as hours, minutes and, with ShowSeconds, seconds
// ("09:05:30"), or on the 12-hour clock with the morning or afternoon
// designator ("09:05 PM"). The time is kept in its fields and the text
// rebuilt from them. Up and Down step the field under the caret (wrapping
// within it), a typed character replaces the one under the caret when the
// text stays a time (anything else beeps), and Backspace and Delete change
// nothing. Leaving the edit shows the time it holds.
class TrmTimeSpinEdit : public TrmCustomSpinEdit {
public:
    TrmTimeSpinEdit();

    TTime GetValue() const;
    void SetValue(TTime value);
    TTime GetMinValue() const;
    void SetMinValue(TTime value);
    TTime GetMaxValue() const;
    void SetMaxValue(TTime value);
    TrmTimeDisplay GetTimeDisplay() const { return timeDisplay_; }
    void SetTimeDisplay(TrmTimeDisplay value);
    bool GetShowSeconds() const { return showSeconds_; }
    void SetShowSeconds(bool value);
    TTime CheckValue(TTime value);

    void PublishProperties(thorn::PropertyList& list) override;

protected:
    bool IsValidChar(char& key) override;
    void DecValue() override;
    void IncValue() override;
    void ExitCheck() override;
    void InternalUpdate() override;
    void KeyDown(TKey& key, TShiftState shift) override;

private:
    bool Designing() const { return GetComponentState().Contains(csDesigning); }
    void UpdateText();
    // The field under the caret moved by delta, and that field selected.
    void Step(int delta);
    void TakeFields(TTime value);

    TTime minValue_ = 0.5;
    TTime maxValue_ = 0.5;
    TrmTimeDisplay timeDisplay_ = td24Hour;
    int8_t hour_ = 12;
    int8_t minute_ = 0;
    int8_t second_ = 0;
    bool showSeconds_ = false;
};
