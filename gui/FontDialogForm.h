#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/Forms.h"
#include "platform/FontFamilies.h"
#include "platform/Sets.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TListBox;
class TGroupBox;

// The options of the font dialog, with the original platform's names; the
// dialog honours fdEffects (the strike-out and underline boxes and the
// colour) and fdLimitSize (sizes kept within MinFontSize..MaxFontSize).
enum TFontDialogOption : uint8_t {
    fdAnsiOnly,
    fdTrueTypeOnly,
    fdEffects,
    fdFixedPitchOnly,
    fdForceFontExist,
    fdNoFaceSel,
    fdNoOEMFonts,
    fdNoSimulations,
    fdNoSizeSel,
    fdNoStyleSel,
    fdNoVectorFonts,
    fdShowHelp,
    fdWysiwyg,
    fdLimitSize,
    fdScalableOnly,
    fdApplyButton,
};
using TFontDialogOptions = thorn::EnumSet<TFontDialogOption>;

namespace thorn {

class FontSample;

struct FontDialogSetup {
    std::string title;
    TFont font;
    TFontDialogOptions options;
    int minSize = 0;
    int maxSize = 0;
};

// The font dialog drawn by the layer: the installed families (with the
// font's own name added when no family has it, so that a font such as
// "Tahoma" keeps drawing as it did), the styles of the family chosen, the
// sizes, strike-out, underline and colour, and a sample line drawn with the
// font as it stands. The sample is drawn by the same text calls as the rest
// of the program, so the font chosen draws in a window exactly as here.
//
// Typing into the name box selects the first family beginning with the
// text; OK takes the font when the name is a family's and the size a whole
// number of points within the limits, else says what is wrong and stays.
class FontDialogForm : public TCustomForm {
public:
    explicit FontDialogForm(FontDialogSetup setup);
    ~FontDialogForm() override;

    // The font as chosen so far (the result once the modal result is mrOk).
    const TFont& GetChosenFont() const { return chosen_; }
    // Sets every part to font (its family, the style its bold and italic
    // ask for, size, effects and colour) as a user would pick them, then
    // confirms as the OK button does. Answers false, leaving the dialog
    // open, when the dialog offers no such family or style.
    bool Choose(const TFont& font);
    // What the OK button does: answers whether the font was taken.
    bool Confirm();

    // Where the sample line is drawn, in form coordinates.
    TRect GetSampleRect() const;
    static constexpr std::string_view kSampleText = "AaBbYyZz";

    TEdit* GetNameEdit() const { return nameEdit_; }
    TListBox* GetFamilyList() const { return familyList_; }
    TListBox* GetStyleList() const { return styleList_; }
    TEdit* GetSizeEdit() const { return sizeEdit_; }
    TListBox* GetSizeList() const { return sizeList_; }
    TComboBox* GetColorCombo() const { return colorCombo_; }
    TCheckBox* GetStrikeOut() const { return strikeOut_; }
    TCheckBox* GetUnderline() const { return underline_; }
    TButton* GetOkButton() const { return okButton_; }

private:
    void FillFamilies();
    void FillSizes();
    void FillColors();
    void FamilyPicked();
    void NameTyped();
    void StylePicked();
    void SizePicked();
    void SizeTyped();
    void EffectsChanged();
    void ShowStyles();
    void SampleChanged();
    void Refuse(const std::string& message, TWinControl* focus);
    // The sizes the dialog takes, in points: its limits with fdLimitSize.
    std::pair<int, int> SizeRange() const;
    int FamilyIndex(std::string_view name) const;
    const text::FontFamily* CurrentFamily() const;

    FontDialogSetup setup_;
    std::vector<text::FontFamily> families_;
    std::vector<TColor> colors_;
    TFont chosen_;
    bool filling_ = false;

    TLabel* nameLabel_ = nullptr;
    TEdit* nameEdit_ = nullptr;
    TListBox* familyList_ = nullptr;
    TLabel* styleLabel_ = nullptr;
    TEdit* styleEdit_ = nullptr;
    TListBox* styleList_ = nullptr;
    TLabel* sizeLabel_ = nullptr;
    TEdit* sizeEdit_ = nullptr;
    TListBox* sizeList_ = nullptr;
    TGroupBox* effects_ = nullptr;
    TCheckBox* strikeOut_ = nullptr;
    TCheckBox* underline_ = nullptr;
    TLabel* colorLabel_ = nullptr;
    TComboBox* colorCombo_ = nullptr;
    TGroupBox* sampleBox_ = nullptr;
    FontSample* sample_ = nullptr;
    TButton* okButton_ = nullptr;
    TButton* cancelButton_ = nullptr;
};

}  // namespace thorn
