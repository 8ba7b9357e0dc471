#pragma once

#include <vector>

#include "gui/Dialogs.h"

class TButton;

namespace thorn {

class ColorGrid;

// The colour dialog drawn by the layer: the sixteen standard colours in a
// grid (with the colour it was given added when it is none of them), OK and
// Cancel. The arrows move the choice, Enter or a double click takes it,
// Escape cancels.
class ColorDialogForm : public TCustomForm {
public:
    explicit ColorDialogForm(TColor color);
    ~ColorDialogForm() override;

    TColor GetChosenColor() const;
    // Chooses color as a user would (it joins the grid when it is not
    // there) and confirms.
    void Choose(TColor color);
    ColorGrid* GetGrid() const { return grid_; }

private:
    ColorGrid* grid_ = nullptr;
    TButton* okButton_ = nullptr;
    TButton* cancelButton_ = nullptr;
};

}  // namespace thorn

// The colour dialog component: Color is shown first and, once confirmed, the
// colour chosen.
class TColorDialog : public TCommonDialog {
public:
    bool Execute() override;
    TColor GetColor() const { return color_; }
    void SetColor(TColor value) { color_ = value; }

private:
    TColor color_ = clBlack;
};
