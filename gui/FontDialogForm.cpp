#include "gui/FontDialogForm.h"

#include <algorithm>
#include <charconv>

#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/GroupBox.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "platform/StringList.h"
#include "platform/Text.h"

namespace thorn {

namespace {

constexpr int kMargin = 8;
constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
constexpr int kLargestSize = 999;

struct NamedColor {
    TColor color;
    const char* name;
};
constexpr NamedColor kColors[] = {
    {clBlack, "Black"}, {clMaroon, "Maroon"}, {clGreen, "Green"}, {clOlive, "Olive"},   {clNavy, "Navy"},
    {clPurple, "Purple"}, {clTeal, "Teal"}, {clGray, "Gray"},   {clSilver, "Silver"}, {clRed, "Red"},
    {clLime, "Lime"},   {clYellow, "Yellow"}, {clBlue, "Blue"}, {clFuchsia, "Fuchsia"}, {clAqua, "Aqua"},
    {clWhite, "White"},
};

// A colour none of the named ones is: the window text colour of the system
// (a font's usual colour) or one of the program's own.
const char* ColorName(TColor color) { return color == clWindowText ? "Window Text" : "Custom"; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<int> WholeNumber(std::string_view text) {
    text = Trim(text);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

template <typename T>
T* Place(TCustomForm& owner, TWinControl* parent, TRect bounds) {
    T* control = Make<T>(owner);
    control->SetParent(parent);
    control->SetBoundsRect(bounds);
    return control;
}

}  // namespace

// The sample line, drawn with the font as it stands on the dialog's face.
class FontSample : public TCustomControl {
public:
    explicit FontSample(const TFont& font) : font_(font) { SetControlStyle({csOpaque}); }

protected:
    void Paint() override {
        TCanvas& canvas = Canvas();
        TRect r = GetClientRect();
        canvas.FillColor(r, clBtnFace);
        canvas.Font().Assign(font_);
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, FontDialogForm::kSampleText);
        canvas.Brush().SetStyle(bsSolid);
    }

private:
    const TFont& font_;
};

FontDialogForm::FontDialogForm(FontDialogSetup setup) : setup_(std::move(setup)) {
    SetWindowKind(WindowKind::Dialog);
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption(setup_.title.empty() ? "Font" : setup_.title);
    SetClientWidth(430);
    SetClientHeight(272);
    chosen_.Assign(setup_.font);

    nameLabel_ = Place<TLabel>(*this, this, {kMargin, 8, 168, 22});
    nameLabel_->SetCaption("&Font:");
    nameEdit_ = Place<TEdit>(*this, this, {kMargin, 24, 168, 45});
    familyList_ = Place<TListBox>(*this, this, {kMargin, 48, 168, 156});
    nameLabel_->SetFocusControl(nameEdit_);
    styleLabel_ = Place<TLabel>(*this, this, {176, 8, 286, 22});
    styleLabel_->SetCaption("Font st&yle:");
    styleEdit_ = Place<TEdit>(*this, this, {176, 24, 286, 45});
    styleEdit_->SetReadOnly(true);
    styleEdit_->SetTabStop(false);
    styleList_ = Place<TListBox>(*this, this, {176, 48, 286, 156});
    styleLabel_->SetFocusControl(styleList_);
    sizeLabel_ = Place<TLabel>(*this, this, {294, 8, 346, 22});
    sizeLabel_->SetCaption("&Size:");
    sizeEdit_ = Place<TEdit>(*this, this, {294, 24, 346, 45});
    sizeList_ = Place<TListBox>(*this, this, {294, 48, 346, 156});
    sizeLabel_->SetFocusControl(sizeEdit_);

    effects_ = Place<TGroupBox>(*this, this, {kMargin, 164, 168, 264});
    effects_->SetCaption("Effects");
    strikeOut_ = Place<TCheckBox>(*this, effects_, {8, 20, 150, 37});
    strikeOut_->SetCaption("Stri&keout");
    underline_ = Place<TCheckBox>(*this, effects_, {8, 40, 150, 57});
    underline_->SetCaption("&Underline");
    colorLabel_ = Place<TLabel>(*this, effects_, {8, 68, 48, 82});
    colorLabel_->SetCaption("&Color:");
    colorCombo_ = Place<TComboBox>(*this, effects_, {48, 64, 152, 85});
    colorLabel_->SetFocusControl(colorCombo_);
    effects_->SetVisible(setup_.options.Contains(fdEffects));

    sampleBox_ = Place<TGroupBox>(*this, this, {176, 164, 422, 264});
    sampleBox_->SetCaption("Sample");
    sample_ = Make<FontSample>(*this, chosen_);
    sample_->SetParent(sampleBox_);
    sample_->SetBoundsRect({8, 18, 238, 92});

    okButton_ = Place<TButton>(*this, this, {354, 24, 422, 47});
    okButton_->SetCaption("OK");
    okButton_->SetDefault(true);
    okButton_->OnClick = [this](TObject*) { Confirm(); };
    cancelButton_ = Place<TButton>(*this, this, {354, 53, 422, 76});
    cancelButton_->SetCaption("Cancel");
    cancelButton_->SetCancel(true);
    cancelButton_->SetModalResult(mrCancel);

    FillFamilies();
    FillSizes();
    FillColors();
    familyList_->OnClick = [this](TObject*) { FamilyPicked(); };
    nameEdit_->OnChange = [this](TObject*) { NameTyped(); };
    styleList_->OnClick = [this](TObject*) { StylePicked(); };
    sizeList_->OnClick = [this](TObject*) { SizePicked(); };
    sizeEdit_->OnChange = [this](TObject*) { SizeTyped(); };
    strikeOut_->OnClick = [this](TObject*) { EffectsChanged(); };
    underline_->OnClick = [this](TObject*) { EffectsChanged(); };
    colorCombo_->OnChange = [this](TObject*) { EffectsChanged(); };
    SetActiveControl(nameEdit_);
}

FontDialogForm::~FontDialogForm() = default;

// ---- filling

void FontDialogForm::FillFamilies() {
    families_ = text::FontFamilies();
    // A font named as no installed family (a name the platform maps to one)
    // is offered as it is, with the styles every face can be drawn in.
    if (FamilyIndex(chosen_.GetName()) < 0 && !chosen_.GetName().empty()) {
        text::FontFamily own{chosen_.GetName(),
                             {{"Regular", false, false}, {"Italic", false, true}, {"Bold", true, false},
                              {"Bold Italic", true, true}}};
        auto at = std::find_if(families_.begin(), families_.end(),
                               [&](const text::FontFamily& f) { return CompareText(f.name, own.name) > 0; });
        families_.insert(at, std::move(own));
    }
    filling_ = true;
    for (const text::FontFamily& family : families_) familyList_->GetItems()->Add(family.name);
    int index = FamilyIndex(chosen_.GetName());
    familyList_->SetItemIndex(index);
    nameEdit_->SetText(index >= 0 ? families_[static_cast<size_t>(index)].name : chosen_.GetName());
    filling_ = false;
    ShowStyles();
}

void FontDialogForm::FillSizes() {
    filling_ = true;
    const auto [low, high] = SizeRange();
    for (int size : kSizes) {
        if (size >= low && size <= high) sizeList_->GetItems()->Add(std::to_string(size));
    }
    std::string size = std::to_string(chosen_.GetSize());
    sizeEdit_->SetText(size);
    sizeList_->SetItemIndex(sizeList_->GetItems()->IndexOf(size));
    filling_ = false;
}

void FontDialogForm::FillColors() {
    for (const NamedColor& c : kColors) {
        colors_.push_back(c.color);
        colorCombo_->GetItems()->Add(c.name);
    }
    auto found = std::find(colors_.begin(), colors_.end(), chosen_.GetColor());
    if (found == colors_.end()) {
        // A colour of its own stays selectable as it is.
        colors_.push_back(chosen_.GetColor());
        colorCombo_->GetItems()->Add(ColorName(chosen_.GetColor()));
        found = colors_.end() - 1;
    }
    colorCombo_->SetStyle(csOwnerDrawFixed);
    colorCombo_->OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState) {
        TCanvas& canvas = colorCombo_->Canvas();
        canvas.FillRect(rect);
        if (index < 0 || index >= static_cast<int>(colors_.size())) return;
        TRect swatch{rect.Left + 2, rect.Top + 2, rect.Left + 24, rect.Bottom - 2};
        canvas.FillColor(swatch, clBlack);
        InflateRect(swatch, -1, -1);
        canvas.FillColor(swatch, colors_[static_cast<size_t>(index)]);
        TRect text{rect.Left + 28, rect.Top, rect.Right, rect.Bottom};
        canvas.Brush().SetStyle(bsClear);
        canvas.DrawText(text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX, colorCombo_->GetItems()->Get(index));
        canvas.Brush().SetStyle(bsSolid);
    };
    colorCombo_->SetItemIndex(static_cast<int>(found - colors_.begin()));
    strikeOut_->SetChecked(chosen_.GetStyle() & fsStrikeOut);
    underline_->SetChecked(chosen_.GetStyle() & fsUnderline);
}

int FontDialogForm::FamilyIndex(std::string_view name) const {
    for (size_t i = 0; i < families_.size(); ++i)
        if (CompareText(families_[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

const text::FontFamily* FontDialogForm::CurrentFamily() const {
    int index = familyList_->GetItemIndex();
    return index >= 0 && index < static_cast<int>(families_.size()) ? &families_[static_cast<size_t>(index)] : nullptr;
}

// ---- the user's picks

void FontDialogForm::FamilyPicked() {
    const text::FontFamily* family = CurrentFamily();
    if (!family) return;
    filling_ = true;
    nameEdit_->SetText(family->name);
    filling_ = false;
    ShowStyles();
}

void FontDialogForm::NameTyped() {
    if (filling_) return;
    std::string text(Trim(nameEdit_->GetText()));
    if (text.empty()) return;
    int row = familyList_->FindRow(text, 0);
    if (row < 0) return;
    familyList_->SetItemIndex(row);
    ShowStyles();
}

void FontDialogForm::ShowStyles() {
    const text::FontFamily* family = CurrentFamily();
    filling_ = true;
    styleList_->Clear();
    if (family) {
        chosen_.SetName(family->name);
        for (const text::FontStyle& style : family->styles) styleList_->GetItems()->Add(style.name);
        // The style the font had, or the nearest the family has.
        const bool bold = chosen_.GetStyle() & fsBold, italic = chosen_.GetStyle() & fsItalic;
        int best = 0, bestScore = -1;
        for (size_t i = 0; i < family->styles.size(); ++i) {
            int score = 2 * (family->styles[i].bold == bold) + (family->styles[i].italic == italic);
            if (score > bestScore) {
                best = static_cast<int>(i);
                bestScore = score;
            }
        }
        styleList_->SetItemIndex(family->styles.empty() ? -1 : best);
    }
    filling_ = false;
    StylePicked();
}

void FontDialogForm::StylePicked() {
    const text::FontFamily* family = CurrentFamily();
    int index = styleList_->GetItemIndex();
    if (!family || index < 0 || index >= static_cast<int>(family->styles.size())) {
        styleEdit_->SetText({});
        SampleChanged();
        return;
    }
    const text::FontStyle& style = family->styles[static_cast<size_t>(index)];
    styleEdit_->SetText(style.name);
    TFontStyles styles = chosen_.GetStyle() & (fsUnderline | fsStrikeOut);
    if (style.bold) styles |= fsBold;
    if (style.italic) styles |= fsItalic;
    chosen_.SetStyle(styles);
    SampleChanged();
}

void FontDialogForm::SizePicked() {
    int index = sizeList_->GetItemIndex();
    if (index < 0) return;
    filling_ = true;
    sizeEdit_->SetText(sizeList_->GetItems()->Get(index));
    filling_ = false;
    SizeTyped();
}

void FontDialogForm::SizeTyped() {
    std::optional<int> size = WholeNumber(sizeEdit_->GetText());
    if (!filling_) {
        int row = sizeList_->GetItems()->IndexOf(std::string(Trim(sizeEdit_->GetText())));
        filling_ = true;
        sizeList_->SetItemIndex(row);
        filling_ = false;
    }
    // The sample shows only a size the dialog would take.
    const auto [low, high] = SizeRange();
    if (size && *size >= low && *size <= high && *size != chosen_.GetSize()) chosen_.SetSize(*size);
    SampleChanged();
}

void FontDialogForm::EffectsChanged() {
    TFontStyles styles = chosen_.GetStyle() & (fsBold | fsItalic);
    if (strikeOut_->GetChecked()) styles |= fsStrikeOut;
    if (underline_->GetChecked()) styles |= fsUnderline;
    chosen_.SetStyle(styles);
    int color = colorCombo_->GetItemIndex();
    if (color >= 0 && color < static_cast<int>(colors_.size())) chosen_.SetColor(colors_[static_cast<size_t>(color)]);
    SampleChanged();
}

void FontDialogForm::SampleChanged() {
    if (sample_) sample_->Invalidate();
}

TRect FontDialogForm::GetSampleRect() const {
    TPoint at = sample_->GetClientOrigin();
    TPoint origin = GetClientOrigin();
    int left = at.X - origin.X, top = at.Y - origin.Y;
    return {left, top, left + sample_->GetClientWidth(), top + sample_->GetClientHeight()};
}

// ---- confirming

bool FontDialogForm::Confirm() {
    int family = FamilyIndex(Trim(nameEdit_->GetText()));
    if (family < 0) {
        Refuse("There is no font with that name.\nChoose a font from the list of fonts.", nameEdit_);
        return false;
    }
    if (familyList_->GetItemIndex() != family) {
        familyList_->SetItemIndex(family);
        ShowStyles();
    }
    const auto [low, high] = SizeRange();
    std::optional<int> size = WholeNumber(sizeEdit_->GetText());
    if (!size || *size < low || *size > high) {
        Refuse("Size must be between " + std::to_string(low) + " and " + std::to_string(high) + " points.",
               sizeEdit_);
        return false;
    }
    if (*size != chosen_.GetSize()) chosen_.SetSize(*size);
    SetModalResult(mrOk);
    return true;
}

bool FontDialogForm::Choose(const TFont& font) {
    int family = FamilyIndex(font.GetName());
    if (family < 0) return false;
    familyList_->SetItemIndex(family);
    FamilyPicked();
    const text::FontFamily& styles = families_[static_cast<size_t>(family)];
    const bool bold = font.GetStyle() & fsBold, italic = font.GetStyle() & fsItalic;
    auto style = std::find_if(styles.styles.begin(), styles.styles.end(),
                              [&](const text::FontStyle& s) { return s.bold == bold && s.italic == italic; });
    if (style == styles.styles.end()) return false;
    styleList_->SetItemIndex(static_cast<int>(style - styles.styles.begin()));
    StylePicked();
    sizeEdit_->SetText(std::to_string(font.GetSize()));
    if (setup_.options.Contains(fdEffects)) {
        strikeOut_->SetChecked(font.GetStyle() & fsStrikeOut);
        underline_->SetChecked(font.GetStyle() & fsUnderline);
        auto color = std::find(colors_.begin(), colors_.end(), font.GetColor());
        if (color == colors_.end()) {
            colors_.push_back(font.GetColor());
            colorCombo_->GetItems()->Add(ColorName(font.GetColor()));
            color = colors_.end() - 1;
        }
        colorCombo_->SetItemIndex(static_cast<int>(color - colors_.begin()));
        EffectsChanged();
    }
    return Confirm();
}

std::pair<int, int> FontDialogForm::SizeRange() const {
    int low = 1, high = kLargestSize;
    if (setup_.options.Contains(fdLimitSize)) {
        if (setup_.minSize > 0) low = setup_.minSize;
        if (setup_.maxSize > 0) high = setup_.maxSize;
    }
    return {low, high};
}

void FontDialogForm::Refuse(const std::string& message, TWinControl* focus) {
    ComponentRef<FontDialogForm> self(this);
    Application->MessageBox(message, GetCaption(), MB_OK | MB_ICONWARNING);
    if (!self) return;
    SetActiveControl(focus);
    if (auto* edit = dynamic_cast<TEdit*>(focus)) edit->SelectAll();
}

}  // namespace thorn
