#include "inspector/Rmbtnedit.h"

#include "bitmap/Pix32.h"
#include "inspector/Rmlibrary.h"
#include "inspector/Rmspeedbtns.h"
#include "platform/ClassRegistry.h"
#include "platform/Properties.h"

namespace {

const bool kRegistered = (RegisterClass<TrmBtnEdit>("TrmBtnEdit"), true);

}  // namespace

void MakeEllipsisGlyph(TBitmap32& glyph) {
    glyph.SetSize(10, 4);
    glyph.Clear(0xFFFFFFFFu);
    for (int dot = 0; dot < 3; ++dot) glyph.FillRect(1 + 3 * dot, 1, 3 + 3 * dot, 3, 0xFF000000u);
}

TrmCustomBtnEdit::TrmCustomBtnEdit() {
    btn1_ = MakeButton(true);
    btn2_ = MakeButton(false);
    SetBtn1Glyph(nullptr);
    SetBtn2Glyph(nullptr);
    TControlStyle style = GetControlStyle();
    style.Exclude(csSetCaption);
    SetControlStyle(style);
    SetText({});
    PlaceButtons();
}

TrmCustomBtnEdit::~TrmCustomBtnEdit() = default;

TrmSpeedButton* TrmCustomBtnEdit::MakeButton(bool visible) {
    auto* button = thorn::Make<TrmSpeedButton>(*this);
    button->SetVisible(visible);
    button->SetStyle(sbsComboButton);
    button->SetCursor(crArrow);
    button->SetLayout(blGlyphTop);
    button->SetEnabled(true);
    button->OnClick = [this](TObject* sender) { BtnClick(sender); };
    button->SetParent(this);
    return button;
}

TrmSpeedButton* TrmCustomBtnEdit::GetButton(int number) const {
    return number == 1 ? btn1_ : number == 2 ? btn2_ : nullptr;
}

void TrmCustomBtnEdit::PlaceButtons() {
    const bool both = btn2_->GetVisible();
    const int width = GetWidth(), height = GetHeight();
    if (GetCtl3D()) {
        btn1_->SetBounds(width - (both ? 2 : 1) * btnWidth_ - 4, 0, btnWidth_, height - 4);
        if (both) btn2_->SetBounds(width - btnWidth_ - 4, 0, btnWidth_, height - 4);
    } else {
        btn1_->SetBounds(width - (both ? 2 : 1) * btnWidth_, 1, btnWidth_, height - 2);
        if (both) btn2_->SetBounds(width - btnWidth_, 1, btnWidth_, height - 2);
    }
    SetEditRect();
}

void TrmCustomBtnEdit::SetEditRect() {
    int right = GetClientWidth();
    if (btn1_->GetVisible()) right -= btnWidth_ + 1;
    if (btn2_->GetVisible()) right -= btnWidth_;
    SetFormattingRect({0, 0, right, GetClientHeight()});
}

void TrmCustomBtnEdit::WMSize() {
    TrmCustomEdit::WMSize();
    if (btn1_) PlaceButtons();
}

void TrmCustomBtnEdit::SetBtnWidth(int value) {
    if (value == btnWidth_) return;
    btnWidth_ = value;
    btn1_->SetWidth(value);
    btn2_->SetWidth(value);
    PlaceButtons();
}

bool TrmCustomBtnEdit::GetBtn1Visible() const { return btn1_->GetVisible(); }

void TrmCustomBtnEdit::SetBtn1Visible(bool value) {
    btn1_->SetVisible(value);
    btn2_->SetVisible(btn2Visible_ && value);
    PlaceButtons();
}

void TrmCustomBtnEdit::SetBtn2Visible(bool value) {
    btn2Visible_ = value;
    btn2_->SetVisible(value && btn1_->GetVisible());
    PlaceButtons();
}

void TrmCustomBtnEdit::SetBtn1Enabled(bool value) {
    btn1Enabled_ = value;
    btn1_->SetEnabled(value && GetEnabled());
}

void TrmCustomBtnEdit::SetBtn2Enabled(bool value) {
    btn2Enabled_ = value;
    btn2_->SetEnabled(value && GetEnabled());
}

void TrmCustomBtnEdit::SetEnabled(bool value) {
    // Leaving the focus (OnExit) may free the edit.
    const thorn::ComponentWatch watch(this);
    TrmCustomEdit::SetEnabled(value);
    if (watch.Freed()) return;
    btn1_->SetEnabled(btn1Enabled_ && value);
    btn2_->SetEnabled(btn2Enabled_ && value);
}

const TBitmap32& TrmCustomBtnEdit::GetBtn1Glyph() const { return btn1_->GetGlyph(); }
const TBitmap32& TrmCustomBtnEdit::GetBtn2Glyph() const { return btn2_->GetGlyph(); }
int TrmCustomBtnEdit::GetBtn1NumGlyphs() const { return btn1_->GetNumGlyphs(); }
void TrmCustomBtnEdit::SetBtn1NumGlyphs(int value) { btn1_->SetNumGlyphs(value); }
int TrmCustomBtnEdit::GetBtn2NumGlyphs() const { return btn2_->GetNumGlyphs(); }
void TrmCustomBtnEdit::SetBtn2NumGlyphs(int value) { btn2_->SetNumGlyphs(value); }

void TrmCustomBtnEdit::SetGlyphOf(TrmSpeedButton* button, bool& defaultGlyph, const TBitmap32* value) {
    defaultGlyph = value == nullptr;
    TBitmap32 glyph;
    if (value) {
        glyph.Assign(*value);
    } else if (useDefaultGlyphs_) {
        MakeEllipsisGlyph(glyph);
        ReplaceColors(glyph, clBtnFace, clBtnText);
    }
    button->SetGlyph(glyph);
}

void TrmCustomBtnEdit::SetBtn1Glyph(const TBitmap32* value) { SetGlyphOf(btn1_, btn1DefaultGlyph_, value); }
void TrmCustomBtnEdit::SetBtn2Glyph(const TBitmap32* value) { SetGlyphOf(btn2_, btn2DefaultGlyph_, value); }

void TrmCustomBtnEdit::SetUseDefaultGlyphs(bool value) {
    useDefaultGlyphs_ = value;
    ResetDefaultGlyphs();
}

void TrmCustomBtnEdit::ResetDefaultGlyphs() {
    if (btn1DefaultGlyph_) SetBtn1Glyph(nullptr);
    if (btn2DefaultGlyph_) SetBtn2Glyph(nullptr);
}

void TrmCustomBtnEdit::CMSysColorChange() {
    ResetDefaultGlyphs();
    TrmCustomEdit::CMSysColorChange();
}

void TrmCustomBtnEdit::SetFocus() {
    restoreText_ = GetText();
    TrmCustomEdit::SetFocus();
}

void TrmCustomBtnEdit::WMSetFocus() {
    restoreText_ = GetText();
    TrmCustomEdit::WMSetFocus();
}

void TrmCustomBtnEdit::BtnClick(TObject* sender) {
    thorn::ComponentRef<TrmCustomBtnEdit> self(this);
    SetFocus();
    if (!self) return;
    if (sender == btn1_) {
        if (OnBtn1Click) OnBtn1Click(this);
    } else if (sender == btn2_) {
        if (OnBtn2Click) OnBtn2Click(this);
    }
}

uint32_t TrmCustomBtnEdit::WMGetDlgCode() { return TrmCustomEdit::WMGetDlgCode() | DLGC_WANTALLKEYS; }

void TrmCustomBtnEdit::KeyDown(TKey& key, TShiftState shift) {
    if (key == VK_RETURN) {
        if (shift == TShiftState{ssCtrl}) {
            BtnClick(btn1_);
        } else if (shift == TShiftState{ssCtrl, ssShift}) {
            BtnClick(btn2_);
        } else if (shift.Empty()) {
            thorn::ComponentRef<TrmCustomBtnEdit> self(this);
            SetFocus();
            if (self) TrmCustomEdit::KeyDown(key, shift);
        }
        return;
    }
    if (key == VK_ESCAPE) {
        if (shift.Empty() && GetText() != restoreText_) {
            SetText(restoreText_);
            SelectAll();
        }
        return;
    }
    TrmCustomEdit::KeyDown(key, shift);
}

void TrmCustomBtnEdit::KeyPress(char& key) {
    if (key == '\r' || key == '\n') key = 0;
    TrmCustomEdit::KeyPress(key);
}

void TrmCustomBtnEdit::WMCut() {
    if (editorEnabled_ && !GetReadOnly()) TrmCustomEdit::WMCut();
}

void TrmCustomBtnEdit::WMPaste() {
    if (editorEnabled_ && !GetReadOnly()) TrmCustomEdit::WMPaste();
}

void TrmBtnEdit::PublishProperties(thorn::PropertyList& list) {
    TrmCustomBtnEdit::PublishProperties(list);
    list.Boolean("AutoSelect", [this] { return GetAutoSelect(); }, [this](bool v) { SetAutoSelect(v); }, true);
    list.Boolean("AutoSize", [this] { return GetAutoSize(); }, [this](bool v) { SetAutoSize(v); }, true);
    list.Integer("BtnWidth", [this] { return GetBtnWidth(); }, [this](int32_t v) { SetBtnWidth(v); }, 16);
    list.Boolean("Btn1Enabled", [this] { return GetBtn1Enabled(); }, [this](bool v) { SetBtn1Enabled(v); }, true);
    list.Integer("Btn1NumGlyphs", [this] { return GetBtn1NumGlyphs(); }, [this](int32_t v) { SetBtn1NumGlyphs(v); },
                 1);
    list.Boolean("Btn1Visible", [this] { return GetBtn1Visible(); }, [this](bool v) { SetBtn1Visible(v); }, true);
    list.Boolean("Btn2Enabled", [this] { return GetBtn2Enabled(); }, [this](bool v) { SetBtn2Enabled(v); }, true);
    list.Integer("Btn2NumGlyphs", [this] { return GetBtn2NumGlyphs(); }, [this](int32_t v) { SetBtn2NumGlyphs(v); },
                 1);
    list.Boolean("Btn2Visible", [this] { return GetBtn2Visible(); }, [this](bool v) { SetBtn2Visible(v); }, false);
    list.Enumeration<TBorderStyle>("BorderStyle", [this] { return GetBorderStyle(); },
                                   [this](TBorderStyle v) { SetBorderStyle(v); }, thorn::kBorderStyleNames, bsSingle);
    list.Boolean("Ctl3D", [this] { return GetCtl3D(); }, [this](bool v) { SetCtl3D(v); }, true);
    list.Boolean("EditorEnabled", [this] { return GetEditorEnabled(); }, [this](bool v) { SetEditorEnabled(v); },
                 true);
    list.Boolean("Enabled", [this] { return GetEnabled(); }, [this](bool v) { SetEnabled(v); }, true);
    list.Integer("MaxLength", [this] { return GetMaxLength(); }, [this](int32_t v) { SetMaxLength(v); }, 0);
    list.Boolean("ReadOnly", [this] { return GetReadOnly(); }, [this](bool v) { SetReadOnly(v); }, false);
    list.String("Text", [this] { return GetText(); }, [this](const std::string& v) { SetText(v); });
    list.Boolean("Visible", [this] { return GetVisible(); }, [this](bool v) { SetVisible(v); }, true);
}
