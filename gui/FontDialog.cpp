#include "gui/FontDialog.h"

bool TFontDialog::Execute() {
    thorn::FontDialogSetup setup;
    setup.title = "Font";
    setup.font.Assign(font_);
    setup.options = options_;
    setup.minSize = minFontSize_;
    setup.maxSize = maxFontSize_;
    auto form = std::make_unique<thorn::FontDialogForm>(std::move(setup));
    if (RunModal(*form) != mrOk) return false;
    font_.Assign(form->GetChosenFont());
    return true;
}
