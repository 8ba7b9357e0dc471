#include "inspector/Rmspin.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "inspector/Rmspeedbtns.h"
#include "platform/Beep.h"
#include "platform/ClassRegistry.h"
#include "platform/Conversions.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmSpinEdit>("TrmSpinEdit"), true);

constexpr char kBackspace = '\b';
constexpr char kEnter = '\r';

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

// ============================================================ TrmCustomSpinEdit

TrmCustomSpinEdit::TrmCustomSpinEdit() {
    button_ = thorn::Make<TrmSpinButton>(*this);
    button_->SetVisible(true);
    button_->SetParent(this);
    button_->SetFocusControl(this);
    button_->OnUpClick = [this](TObject* sender) { UpClick(sender); };
    button_->OnDownClick = [this](TObject* sender) { DownClick(sender); };
    TControlStyle style = GetControlStyle();
    style.Exclude(csSetCaption);
    SetControlStyle(style);
    SetText({});
    PlaceButton();
}

TrmCustomSpinEdit::~TrmCustomSpinEdit() = default;

void TrmCustomSpinEdit::SetUseRanges(bool value) {
    useRanges_ = value;
    InternalUpdate();
}

void TrmCustomSpinEdit::SetEnabled(bool value) {
    // Leaving the focus (OnExit) may free the edit.
    const thorn::ComponentWatch watch(this);
    TrmCustomEdit::SetEnabled(value);
    if (watch.Freed()) return;
    button_->SetEnabled(value);
}

void TrmCustomSpinEdit::UpClick(TObject*) {
    if (GetReadOnly()) {
        MessageBeep(0);
    } else if (button_->GetUpEnabled()) {
        IncValue();
    }
}

void TrmCustomSpinEdit::DownClick(TObject*) {
    if (GetReadOnly()) {
        MessageBeep(0);
    } else if (button_->GetDownEnabled()) {
        DecValue();
    }
}

void TrmCustomSpinEdit::SetEditRect() {
    SetFormattingRect({0, 0, GetClientWidth() - button_->GetWidth() - 1, GetClientHeight()});
}

void TrmCustomSpinEdit::PlaceButton() {
    // The buttons fill the right end of the client area, whatever the frame.
    const int width = button_->GetWidth();
    button_->SetBounds(GetClientWidth() - width, 0, width, GetClientHeight());
    SetEditRect();
}

void TrmCustomSpinEdit::WMSize() {
    TrmCustomEdit::WMSize();
    if (button_) PlaceButton();
}

void TrmCustomSpinEdit::CMExit() {
    thorn::ComponentRef<TrmCustomSpinEdit> self(this);
    TrmCustomEdit::CMExit();
    // OnExit may have freed the edit (a grid closing its editor).
    if (self) ExitCheck();
}

void TrmCustomSpinEdit::WMPaste() {
    if (editorEnabled_ && !GetReadOnly()) TrmCustomEdit::WMPaste();
}

void TrmCustomSpinEdit::WMCut() {
    if (editorEnabled_ && !GetReadOnly()) TrmCustomEdit::WMCut();
}

void TrmCustomSpinEdit::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomSpinEdit> self(this);
    if (key == VK_UP) {
        UpClick(this);
        key = 0;
    } else if (key == VK_DOWN) {
        DownClick(this);
        key = 0;
    }
    if (self) TrmCustomEdit::KeyDown(key, shift);
}

void TrmCustomSpinEdit::KeyPress(char& key) {
    if (!IsValidChar(key)) {
        key = 0;
        MessageBeep(0);
    }
    if (key != 0) TrmCustomEdit::KeyPress(key);
}

// ================================================================== TrmSpinEdit

TrmSpinEdit::TrmSpinEdit() { SetText("0"); }

bool TrmSpinEdit::IsValidChar(char& key) {
    const auto code = static_cast<unsigned char>(key);
    bool valid = key == '-' || (key >= '0' && key <= '9') || (code < 32 && key != kEnter);
    if (valid && !GetEditorEnabled() && (code >= 32 || key == kBackspace)) valid = false;
    return valid;
}

int32_t TrmSpinEdit::GetValue() const { return StrToIntDef(GetText(), minValue_); }

void TrmSpinEdit::SetValue(int32_t value) { SetText(IntToStr(CheckValue(value))); }

int32_t TrmSpinEdit::CheckValue(int32_t value) {
    if (!GetUseRanges()) {
        GetButton()->SetUpEnabled(true);
        GetButton()->SetDownEnabled(true);
        return value;
    }
    GetButton()->SetUpEnabled(value < maxValue_);
    GetButton()->SetDownEnabled(value > minValue_);
    if (value < minValue_) return minValue_;
    if (value > maxValue_) return maxValue_;
    return value;
}

void TrmSpinEdit::SetMinValue(int32_t value) {
    // A form stream may name the limits in any order; they are checked
    // against each other only once both are read.
    if (!Loading() && value > maxValue_) return;
    minValue_ = value;
    if (!Loading()) CheckValue(GetValue());
}

void TrmSpinEdit::SetMaxValue(int32_t value) {
    if (!Loading() && value < minValue_) return;
    maxValue_ = value;
    if (!Loading()) CheckValue(GetValue());
}

void TrmSpinEdit::StepBy(int64_t from, int64_t delta) {
    // OnChange may free the edit (or the grid holding it).
    thorn::ComponentRef<TrmSpinEdit> self(this);
    SetValue(Saturated(from + delta));
    if (self) SelectAll();
}

void TrmSpinEdit::IncValue() { StepBy(GetValue(), increment_); }

void TrmSpinEdit::DecValue() { StepBy(GetValue(), -static_cast<int64_t>(increment_)); }

void TrmSpinEdit::ExitCheck() {
    const int32_t value = GetValue();
    if (CheckValue(value) != value) SetValue(value);
}

void TrmSpinEdit::InternalUpdate() { SetValue(CheckValue(GetValue())); }

void TrmSpinEdit::Loaded() {
    TrmCustomSpinEdit::Loaded();
    CheckValue(GetValue());
}

void TrmSpinEdit::PublishProperties(thorn::PropertyList& list) {
    TrmCustomSpinEdit::PublishProperties(list);
    list.Boolean("AutoSelect", [this] { return GetAutoSelect(); }, [this](bool v) { SetAutoSelect(v); }, true);
    list.Boolean("AutoSize", [this] { return GetAutoSize(); }, [this](bool v) { SetAutoSize(v); }, true);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsSingle);
    list.Integer("Color", [this] { return GetColor(); }, [this](int32_t v) { SetColor(v); }, clWindow);
    list.Boolean("EditorEnabled", [this] { return GetEditorEnabled(); }, [this](bool v) { SetEditorEnabled(v); },
                 true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Integer("Increment", [this] { return increment_; }, [this](int32_t v) { SetIncrement(v); }, 1);
    list.Integer("MaxLength", [this] { return GetMaxLength(); }, [this](int32_t v) { SetMaxLength(v); }, 0);
    list.Integer("MaxValue", [this] { return maxValue_; }, [this](int32_t v) { SetMaxValue(v); });
    list.Integer("MinValue", [this] { return minValue_; }, [this](int32_t v) { SetMinValue(v); });
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.Boolean("UseRanges", [this] { return GetUseRanges(); }, [this](bool v) { SetUseRanges(v); }, false);
    list.Integer("Value", [this] { return GetValue(); }, [this](int32_t v) { SetValue(v); });
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}
