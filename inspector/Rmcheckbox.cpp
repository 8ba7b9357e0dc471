#include "inspector/Rmcheckbox.h"

#include <string_view>

#include "gui/Buttons.h"
#include "gui/Edges.h"
#include "inspector/Rmlibrary.h"
#include "platform/ClassRegistry.h"
#include "platform/Properties.h"
#include "platform/Text.h"

namespace {

const bool kRegistered = (RegisterClass<TrmCheckBox>("TrmCheckBox"), RegisterClass<TrmCheckBoxEx>("TrmCheckBoxEx"), true);

constexpr int kBox = 13;
// From the left edge to a left box's caption: the box and the gap after it.
constexpr int kCaptionIndent = kBox + 7;
constexpr std::string_view kAlignmentNames[] = {"cbxLeft", "cbxRight", "cbxCentered"};
constexpr std::string_view kStateNames[] = {"cbxUndefined", "cbxTrue", "cbxFalse"};

}  // namespace

// ============================================================ TrmCustomCheckBox

TrmCustomCheckBox::TrmCustomCheckBox() {
    SetControlStyle({csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
    SetBounds(0, 0, 90, 17);
    SetColor(clBtnFace);
    SetTabStop(true);
}

void TrmCustomCheckBox::SetCaptionTrueFalse(bool value) {
    if (value == captionTrueFalse_) return;
    captionTrueFalse_ = value;
    Invalidate();
}

void TrmCustomCheckBox::SetFillBackground(bool value) {
    if (value == fillBackground_) return;
    fillBackground_ = value;
    Invalidate();
}

void TrmCustomCheckBox::SetBackgroundColor(TColor value) {
    if (value == backgroundColor_) return;
    backgroundColor_ = value;
    Invalidate();
}

void TrmCustomCheckBox::SetCBXAlignment(TCBXAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TrmCustomCheckBox::SetFlat(bool value) {
    flat_ = value;
    Invalidate();
}

void TrmCustomCheckBox::SetShowFocusRect(bool value) {
    showFocusRect_ = value;
    Invalidate();
}

TRect TrmCustomCheckBox::CBXRect() const {
    const int top = GetHeight() / 2 - kBox / 2;
    int left = 3;
    if (alignment_ == cbxRight) left = GetWidth() - 16;
    if (alignment_ == cbxCentered) left = GetWidth() / 2 - kBox / 2;
    return {left, top, left + kBox, top + kBox};
}

TRect TrmCustomCheckBox::CaptionRect() {
    if (alignment_ == cbxCentered) return CBXRect();
    const TSize extent = thorn::TextExtent(GetFont(), GetCaption());
    const int top = GetHeight() / 2 - extent.cy / 2;
    const int left = alignment_ == cbxLeft ? kCaptionIndent : GetWidth() - kCaptionIndent - extent.cx;
    return {left, top, left + extent.cx, top + extent.cy};
}

bool TrmCustomCheckBox::InsideBoxOrCaption(int x, int y) {
    return PtInRect(CBXRect(), {x, y}) || PtInRect(CaptionRect(), {x, y});
}

void TrmCustomCheckBox::Paint() {
    TCanvas& canvas = Canvas();
    const TRect client = GetClientRect();
    canvas.FillColor(client, fillBackground_ ? backgroundColor_ : GetColor());
    canvas.Font().Assign(GetFont());
    PaintCheck(CBXRect());
    const TRect caption = CaptionRect();
    if (alignment_ != cbxCentered) {
        TRect r = caption;
        canvas.Brush().SetStyle(bsClear);
        const uint32_t align = alignment_ == cbxRight ? DT_RIGHT : DT_LEFT;
        canvas.DrawText(r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | align, GetCaption());
        canvas.Brush().SetStyle(bsSolid);
    }
    if (Focused() && showFocusRect_)
        canvas.DrawFocusRect({caption.Left - 2, caption.Top - 2, caption.Right + 2, caption.Bottom + 2});
}

uint32_t TrmCustomCheckBox::PushState() const {
    uint32_t state = DFCS_BUTTONCHECK;
    if (flat_) state |= DFCS_FLAT;
    if ((mousePressed_ && mouseOver_) || spacePressed_) state |= DFCS_PUSHED;
    return state;
}

void TrmCustomCheckBox::PaintCheck(const TRect& box) {
    uint32_t state = PushState();
    if (checked_) state |= DFCS_CHECKED;
    if (!IsEnabledDeep()) state |= DFCS_INACTIVE;
    TRect r = box;
    DrawFrameControl(Canvas(), r, DFC_BUTTON, state);
}

void TrmCustomCheckBox::DoChange() {
    if (OnChange) OnChange(this);
}

void TrmCustomCheckBox::Click() {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::Click();
    if (!self) return;
    Invalidate();
    DoChange();
}

void TrmCustomCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::MouseDown(button, shift, x, y);
    if (self && CanFocus() && !Focused()) SetFocus();
    if (!self || button != mbLeft || !IsEnabledDeep()) return;
    if (InsideBoxOrCaption(x, y)) {
        mousePressed_ = true;
        Invalidate();
    }
}

void TrmCustomCheckBox::MouseMove(TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::MouseMove(shift, x, y);
    if (!self) return;
    const bool over = PtInRect(GetClientRect(), {x, y});
    if (over == mouseOver_) return;
    mouseOver_ = over;
    Invalidate();
}

void TrmCustomCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::MouseUp(button, shift, x, y);
    if (!self) return;
    const bool pressed = mousePressed_;
    mousePressed_ = false;
    if (pressed && IsEnabledDeep() && InsideBoxOrCaption(x, y)) {
        checked_ = !checked_;
        Invalidate();
        Click();
    } else if (pressed) {
        Invalidate();
    }
}

void TrmCustomCheckBox::WMButtonUp(const TWMMouse& message) {
    // The release is judged against box and caption in MouseUp, not against
    // the whole control as the plain click is.
    TControlState state = GetControlState();
    const bool clicked = state.Contains(csClicked);
    state.Exclude(csClicked);
    SetControlState(state);
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::WMButtonUp(message);
    if (self && clicked) {
        TControlState after = GetControlState();
        after.Include(csClicked);
        SetControlState(after);
    }
}

void TrmCustomCheckBox::KeyDown(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::KeyDown(key, shift);
    if (self && key == VK_SPACE && shift.Empty()) {
        spacePressed_ = true;
        Invalidate();
    }
}

void TrmCustomCheckBox::KeyUp(TKey& key, TShiftState shift) {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::KeyUp(key, shift);
    if (!self) return;
    const bool pressed = spacePressed_;
    spacePressed_ = false;
    if (pressed && key == VK_SPACE) {
        checked_ = !checked_;
        Invalidate();
        Click();
    }
}

bool TrmCustomCheckBox::CMDialogChar(char ch, TShiftState shift) {
    if (IsAccel(ch, GetCaption()) && GetEnabled() && IsShowing()) {
        // The accelerator changes the box as a click on it does: a change
        // reported without one would be a false report.
        checked_ = !checked_;
        Click();
        return true;
    }
    return TCustomControl::CMDialogChar(ch, shift);
}

void TrmCustomCheckBox::CMFocusChanged(TWinControl* focused) {
    TCustomControl::CMFocusChanged(focused);
    mousePressed_ = false;
    spacePressed_ = false;
    Invalidate();
}

void TrmCustomCheckBox::CMMouseLeave() {
    thorn::ComponentRef<TrmCustomCheckBox> self(this);
    TCustomControl::CMMouseLeave();
    if (self) Invalidate();
}

void TrmCustomCheckBox::CMTextChanged() {
    TCustomControl::CMTextChanged();
    Invalidate();
}

uint32_t TrmCustomCheckBox::WMGetDlgCode() {
    uint32_t code = TCustomControl::WMGetDlgCode();
    if (WantTabs) code |= DLGC_WANTTAB;
    if (WantArrows) code |= DLGC_WANTARROWS;
    return code;
}

void TrmCustomCheckBox::PublishProperties(thorn::PropertyList& list) {
    TCustomControl::PublishProperties(list);
    list.Boolean("CaptionTrueFalse", [this] { return captionTrueFalse_; }, [this](bool v) { SetCaptionTrueFalse(v); },
                 false);
    list.Boolean("FillBackground", [this] { return fillBackground_; }, [this](bool v) { SetFillBackground(v); }, false);
    list.Integer("BackgroundColor", [this] { return backgroundColor_; }, [this](int32_t v) { SetBackgroundColor(v); },
                 clWindow);
    list.Enumeration<TCBXAlignment>("CBXAlignment", [this] { return alignment_; },
                                    [this](TCBXAlignment v) { SetCBXAlignment(v); }, kAlignmentNames);
    list.String("Caption", [this] { return GetCaption(); }, [this](const std::string& v) { SetCaption(v); });
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Boolean("Flat", [this] { return flat_; }, [this](bool v) { SetFlat(v); }, false);
    list.Boolean("ShowFocusRect", [this] { return showFocusRect_; }, [this](bool v) { SetShowFocusRect(v); }, true);
    list.Boolean("TabStop", [this] { return GetTabStop(); }, [this](bool v) { SetTabStop(v); }, false);
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}

// ================================================================== TrmCheckBox

void TrmCheckBox::SetCheckedEx(bool value) {
    if (value == GetChecked()) return;
    SetChecked(value);
    thorn::ComponentRef<TrmCheckBox> self(this);
    DoChange();
    if (self) Invalidate();
}

void TrmCheckBox::Paint() {
    if (GetCaptionTrueFalse()) SetCaption(BoolToStr(GetChecked()));
    TrmCustomCheckBox::Paint();
}

void TrmCheckBox::PublishProperties(thorn::PropertyList& list) {
    TrmCustomCheckBox::PublishProperties(list);
    list.Boolean("Checked", [this] { return GetChecked(); }, [this](bool v) { SetCheckedEx(v); }, false);
}

// ========================================================= TrmCheckBoxExStrings

void TrmCheckBoxExStrings::SetUndefined(const std::string& value) {
    undefined_ = value;
    Changed();
}

void TrmCheckBoxExStrings::SetTrueState(const std::string& value) {
    trueState_ = value;
    Changed();
}

void TrmCheckBoxExStrings::SetFalseState(const std::string& value) {
    falseState_ = value;
    Changed();
}

const std::string& TrmCheckBoxExStrings::CaptionOf(TCBExState state) const {
    if (state == cbxTrue) return trueState_;
    if (state == cbxFalse) return falseState_;
    return undefined_;
}

void TrmCheckBoxExStrings::Changed() {
    if (owner_) owner_->Invalidate();
}

void TrmCheckBoxExStrings::AssignTo(TPersistent& dest) const {
    if (auto* strings = dynamic_cast<TrmCheckBoxExStrings*>(&dest)) {
        strings->undefined_ = undefined_;
        strings->trueState_ = trueState_;
        strings->falseState_ = falseState_;
        strings->Changed();
        return;
    }
    TPersistent::AssignTo(dest);
}

void TrmCheckBoxExStrings::PublishProperties(thorn::PropertyList& list) {
    // Each caption starts with a text, so an emptied one is written too.
    list.String("Undefined", [this] { return undefined_; }, [this](const std::string& v) { SetUndefined(v); });
    list.StoreEmpty();
    list.String("TrueState", [this] { return trueState_; }, [this](const std::string& v) { SetTrueState(v); });
    list.StoreEmpty();
    list.String("FalseState", [this] { return falseState_; }, [this](const std::string& v) { SetFalseState(v); });
    list.StoreEmpty();
}

// ================================================================ TrmCheckBoxEx

TrmCheckBoxEx::TrmCheckBoxEx() : strings_(std::make_unique<TrmCheckBoxExStrings>(this)) {}

void TrmCheckBoxEx::SetValue(TCBExState value) {
    if (value == value_) return;
    value_ = value;
    thorn::ComponentRef<TrmCheckBoxEx> self(this);
    // The undefined state is what the program shows for a mixed selection;
    // reporting it as a change would write it back as a choice.
    if (value != cbxUndefined) DoChange();
    if (self) Invalidate();
}

void TrmCheckBoxEx::SetAlwaysLight(bool value) {
    if (value == alwaysLight_) return;
    alwaysLight_ = value;
    Invalidate();
}

void TrmCheckBoxEx::Paint() {
    if (!GetCaptionTrueFalse()) SetCaption(strings_->CaptionOf(value_));
    TrmCustomCheckBox::Paint();
}

void TrmCheckBoxEx::PaintCheck(const TRect& box) {
    uint32_t state = PushState();
    if (value_ == cbxTrue) state |= DFCS_CHECKED;
    if (value_ == cbxUndefined || (!IsEnabledDeep() && !alwaysLight_)) state |= DFCS_INACTIVE;
    TRect r = box;
    DrawFrameControl(Canvas(), r, DFC_BUTTON, state);
}

void TrmCheckBoxEx::Click() {
    thorn::ComponentRef<TrmCheckBoxEx> self(this);
    TrmCustomCheckBox::Click();
    if (!self) return;
    switch (value_) {
        case cbxUndefined: SetValue(cbxTrue); break;
        case cbxTrue: SetValue(cbxFalse); break;
        case cbxFalse: SetValue(fullMode_ ? cbxUndefined : cbxTrue); break;
    }
    // The step to the undefined state is the user's choice: it is reported.
    if (self && value_ == cbxUndefined) DoChange();
}

void TrmCheckBoxEx::PublishProperties(thorn::PropertyList& list) {
    TrmCustomCheckBox::PublishProperties(list);
    list.Enumeration<TCBExState>("Value", [this] { return value_; }, [this](TCBExState v) { SetValue(v); },
                                 kStateNames, cbxUndefined);
    list.Boolean("FullMode", [this] { return fullMode_; }, [this](bool v) { SetFullMode(v); }, false);
    list.Boolean("AlwaysLight", [this] { return alwaysLight_; }, [this](bool v) { SetAlwaysLight(v); }, false);
    list.Object("Strings", [this] { return strings_.get(); });
}
