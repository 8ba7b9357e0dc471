#include "controls/Rmspin.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "inspector/Rmspeedbtns.h"
#include "platform/ClassRegistry.h"
#include "platform/Conversions.h"
#include "platform/FormatSettings.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmFloatSpinEdit>("TrmFloatSpinEdit"),
                          RegisterClass<TrmTimeSpinEdit>("TrmTimeSpinEdit"), true);

constexpr std::string_view kBorderStyleNames[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                  "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kTimeDisplayNames[] = {"td24Hour", "td12Hour"};
constexpr char kBackspace = '\b';
constexpr char kEnter = '\r';

std::string TwoDigits(int value) { return (value < 10 ? "0" : "") + IntToStr(value); }

// Wraps value into 0 .. count - 1.
int Wrapped(int value, int count) { return (value % count + count) % count; }

// The designator switch of the 12-hour clock: the same time in the other
// half of the day.
int OtherHalf(int hour) { return hour + 12 > 23 ? hour - 12 : hour + 12; }

// Publishes what both kinds share with the integer spin edit.
template <typename Edit>
void PublishEditProperties(Edit& edit, thorn::PropertyList& list) {
    list.Boolean("AutoSelect", [&edit] { return edit.GetAutoSelect(); }, [&edit](bool v) { edit.SetAutoSelect(v); },
                 true);
    list.Boolean("AutoSize", [&edit] { return edit.GetAutoSize(); }, [&edit](bool v) { edit.SetAutoSize(v); }, true);
    list.Enumeration<TBorderStyle>("BorderStyle", [&edit] { return edit.GetBorderStyle(); },
                                   [&edit](TBorderStyle v) { edit.SetBorderStyle(v); }, kBorderStyleNames, bsSingle);
    list.Integer("Color", [&edit] { return edit.GetColor(); }, [&edit](int32_t v) { edit.SetColor(v); }, clWindow);
    list.Boolean("EditorEnabled", [&edit] { return edit.GetEditorEnabled(); },
                 [&edit](bool v) { edit.SetEditorEnabled(v); }, true);
    list.Boolean("Enabled", [&edit] { return edit.GetEnabled(); }, [&edit](bool v) { edit.SetEnabled(v); }, true);
    list.Boolean("ReadOnly", [&edit] { return edit.GetReadOnly(); }, [&edit](bool v) { edit.SetReadOnly(v); }, false);
    list.Boolean("UseRanges", [&edit] { return edit.GetUseRanges(); }, [&edit](bool v) { edit.SetUseRanges(v); },
                 false);
    list.Boolean("Visible", [&edit] { return edit.GetVisible(); }, [&edit](bool v) { edit.SetVisible(v); }, true);
}

}  // namespace

// ================================================================ float

TrmFloatSpinEdit::TrmFloatSpinEdit() { SetText("0"); }

bool TrmFloatSpinEdit::IsValidChar(char& key) {
    const auto code = static_cast<unsigned char>(key);
    bool valid = key == '+' || key == '-' || (key >= '0' && key <= '9') || key == FormatSettings.DecimalSeparator ||
                 (code < 32 && key != kEnter);
    if (valid && !GetEditorEnabled() && (code >= 32 || key == kBackspace)) valid = false;
    return valid;
}

double TrmFloatSpinEdit::GetValue() const {
    double value = 0;
    return TryStrToFloat(GetText(), value) ? value : minValue_;
}

void TrmFloatSpinEdit::SetValue(double value) {
    // NaN is no number to show or to keep inside the range.
    if (std::isnan(value)) return;
    SetText(FloatToStr(CheckValue(value)));
}

double TrmFloatSpinEdit::CheckValue(double value) {
    if (!GetUseRanges()) {
        GetButton()->SetUpEnabled(true);
        GetButton()->SetDownEnabled(true);
        return value;
    }
    GetButton()->SetUpEnabled(value < maxValue_);
    GetButton()->SetDownEnabled(value > minValue_);
    return std::clamp(value, minValue_, maxValue_);
}

void TrmFloatSpinEdit::SetMinValue(double value) {
    if (std::isnan(value) || value > maxValue_) return;
    minValue_ = value;
    CheckValue(GetValue());
}

void TrmFloatSpinEdit::SetMaxValue(double value) {
    if (std::isnan(value) || value < minValue_) return;
    maxValue_ = value;
    CheckValue(GetValue());
}

void TrmFloatSpinEdit::IncValue() { StepBy(increment_); }

void TrmFloatSpinEdit::DecValue() { StepBy(-increment_); }

void TrmFloatSpinEdit::StepBy(double delta) {
    // OnChange may free the edit.
    thorn::ComponentRef<TrmFloatSpinEdit> self(this);
    SetValue(GetValue() + delta);
    if (self) SelectAll();
}

void TrmFloatSpinEdit::ExitCheck() {
    const double value = GetValue();
    if (CheckValue(value) != value) SetValue(value);
}

void TrmFloatSpinEdit::InternalUpdate() { SetValue(CheckValue(GetValue())); }

void TrmFloatSpinEdit::PublishProperties(thorn::PropertyList& list) {
    TrmCustomSpinEdit::PublishProperties(list);
    PublishEditProperties(*this, list);
    list.Float("Increment", [this] { return increment_; }, [this](double v) { SetIncrement(v); });
    list.Float("MaxValue", [this] { return maxValue_; }, [this](double v) { maxValue_ = v; });
    list.Float("MinValue", [this] { return minValue_; }, [this](double v) { minValue_ = v; });
    list.Float("Value", [this] { return GetValue(); }, [this](double v) { SetValue(v); });
}

// ================================================================ time

TrmTimeSpinEdit::TrmTimeSpinEdit() { UpdateText(); }

TTime TrmTimeSpinEdit::GetValue() const {
    TTime value = EncodeTime(hour_, minute_, second_, 0);
    if (Designing()) value += EncodeTime(0, 0, 0, 1);
    return value;
}

void TrmTimeSpinEdit::TakeFields(TTime value) {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(value, hour, minute, second, millisecond);
    hour_ = static_cast<int8_t>(hour);
    minute_ = static_cast<int8_t>(minute);
    second_ = static_cast<int8_t>(second);
}

void TrmTimeSpinEdit::SetValue(TTime value) {
    TakeFields(value);
    UpdateText();
}

TTime TrmTimeSpinEdit::GetMinValue() const {
    if (!Designing()) return minValue_;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(minValue_, hour, minute, second, millisecond);
    return EncodeTime(hour, minute, second, 1);
}

TTime TrmTimeSpinEdit::GetMaxValue() const {
    if (!Designing()) return maxValue_;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(maxValue_, hour, minute, second, millisecond);
    return EncodeTime(hour, minute, second, 1);
}

void TrmTimeSpinEdit::SetMinValue(TTime value) {
    if (value > maxValue_) return;
    minValue_ = value;
    CheckValue(GetValue());
}

void TrmTimeSpinEdit::SetMaxValue(TTime value) {
    if (value < minValue_) return;
    maxValue_ = value;
    CheckValue(GetValue());
}

TTime TrmTimeSpinEdit::CheckValue(TTime value) {
    if (!GetUseRanges()) {
        GetButton()->SetUpEnabled(true);
        GetButton()->SetDownEnabled(true);
        return value;
    }
    GetButton()->SetUpEnabled(value < maxValue_);
    GetButton()->SetDownEnabled(value > minValue_);
    return std::clamp(value, minValue_, maxValue_);
}

void TrmTimeSpinEdit::SetTimeDisplay(TrmTimeDisplay value) {
    if (value == timeDisplay_) return;
    timeDisplay_ = value;
    InternalUpdate();
}

void TrmTimeSpinEdit::SetShowSeconds(bool value) {
    showSeconds_ = value;
    InternalUpdate();
}

void TrmTimeSpinEdit::UpdateText() {
    const std::string separator(1, FormatSettings.TimeSeparator);
    int shown = hour_;
    if (timeDisplay_ == td12Hour) shown = hour_ == 0 || hour_ == 12 ? 12 : hour_ > 12 ? hour_ - 12 : hour_;
    std::string text = TwoDigits(shown) + separator + TwoDigits(minute_);
    if (showSeconds_) text += separator + TwoDigits(second_);
    if (timeDisplay_ == td12Hour)
        text += " " + std::string(hour_ < 12 ? FormatSettings.TimeAMString : FormatSettings.TimePMString);
    SetText(text);
}

void TrmTimeSpinEdit::Step(int delta) {
    const int p = GetSelStart();
    const bool twelve = timeDisplay_ == td12Hour;
    int hour = hour_, minute = minute_, second = second_;
    int selStart = 0, selLength = 0;
    if (p >= 0 && p <= 2) {
        if (twelve) {
            const int half = hour < 12 ? 0 : 12;
            hour = half + Wrapped(hour - half + delta, 12);
        } else {
            hour = Wrapped(hour + delta, 24);
        }
        selLength = 2;
    } else if (p >= 3 && p <= 5) {
        minute = Wrapped(minute + delta, 60);
        selStart = 3, selLength = 2;
    } else if (p >= 6 && p <= 8 && (!twelve || showSeconds_)) {
        second = Wrapped(second + delta, 60);
        selStart = 6, selLength = 2;
    } else if (twelve && p >= 6 && p <= 11) {
        hour = OtherHalf(hour);
        selStart = p <= 8 ? 6 : 9, selLength = 3;
    }
    // OnChange may free the edit.
    thorn::ComponentRef<TrmTimeSpinEdit> self(this);
    if (selLength > 0) SetValue(CheckValue(EncodeTime(hour, minute, second, 0)));
    if (!self) return;
    SetSelStart(selStart);
    SetSelLength(selLength);
}

void TrmTimeSpinEdit::IncValue() { Step(+1); }

void TrmTimeSpinEdit::DecValue() { Step(-1); }

bool TrmTimeSpinEdit::IsValidChar(char& key) {
    const bool twelve = timeDisplay_ == td12Hour;
    std::string text = GetText();
    int p = GetSelStart();
    if (p == 2 || p == 5 || (twelve && p == 8)) ++p;
    const auto isDigitPlace = [&](int at) {
        return at == 0 || at == 1 || at == 3 || at == 4 || (showSeconds_ && (at == 6 || at == 7)) ||
               (!twelve && (at == 6 || at == 7));
    };
    const int letters = showSeconds_ ? 9 : 6;
    char typed = key;
    if (twelve && p == letters) {
        // "A" or, for the afternoon, "P".
        const char upper = static_cast<char>(typed & ~0x20);
        if (upper != 'A' && upper != 'P') return false;
        typed = upper;
    } else if (twelve && p == letters + 1) {
        if (typed != 'M' && typed != 'm') return false;
        typed = 'M';
    } else if (!isDigitPlace(p)) {
        return false;
    }
    if (p >= static_cast<int>(text.size())) return false;
    text[static_cast<size_t>(p)] = typed;
    TDateTime time = 0;
    if (!TryStrToTime(text, time)) return false;
    key = typed;
    SetSelStart(p);
    SetSelLength(1);
    TakeFields(CheckValue(time));
    return true;
}

void TrmTimeSpinEdit::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_DELETE) key = 0;
    TrmCustomSpinEdit::KeyDown(key, shift);
}

void TrmTimeSpinEdit::ExitCheck() {
    // The text may hold a time the limits moved, or what was pasted: it
    // shows the value again.
    SetValue(CheckValue(GetValue()));
}

void TrmTimeSpinEdit::InternalUpdate() { SetValue(CheckValue(GetValue())); }

void TrmTimeSpinEdit::PublishProperties(thorn::PropertyList& list) {
    TrmCustomSpinEdit::PublishProperties(list);
    PublishEditProperties(*this, list);
    list.Date("MaxValue", [this] { return GetMaxValue(); }, [this](TDateTime v) { maxValue_ = v; });
    list.Date("MinValue", [this] { return GetMinValue(); }, [this](TDateTime v) { minValue_ = v; });
    list.Enumeration<TrmTimeDisplay>("TimeDisplay", [this] { return timeDisplay_; },
                                     [this](TrmTimeDisplay v) { SetTimeDisplay(v); }, kTimeDisplayNames, td24Hour);
    list.Boolean("ShowSeconds", [this] { return showSeconds_; }, [this](bool v) { SetShowSeconds(v); }, false);
    list.Date("Value", [this] { return GetValue(); }, [this](TDateTime v) { SetValue(v); });
}
