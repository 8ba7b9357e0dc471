#pragma once

#include "gui/Dialogs.h"
#include "gui/FontDialogForm.h"

// The font dialog: Font is what it shows first and, once confirmed, what
// the user chose. MinFontSize and MaxFontSize bind the size with
// fdLimitSize.
class TFontDialog : public TCommonDialog {
public:
    bool Execute() override;

    const TFont& GetFont() const { return font_; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& value) { font_.Assign(value); }
    TFontDialogOptions GetOptions() const { return options_; }
    void SetOptions(TFontDialogOptions value) { options_ = value; }
    int GetMinFontSize() const { return minFontSize_; }
    void SetMinFontSize(int value) { minFontSize_ = value; }
    int GetMaxFontSize() const { return maxFontSize_; }
    void SetMaxFontSize(int value) { maxFontSize_ = value; }

private:
    TFont font_;
    TFontDialogOptions options_{fdEffects};
    int minFontSize_ = 0;
    int maxFontSize_ = 0;
};
