#pragma once

#include "gui/Forms.h"
#include "gui/ScrollBox.h"

// "Map Editor Preferences": the preferences dialog, and the castle legend
// on its hidden "Images" page.
class TDlgOptions : public TForm {
public:
    explicit TDlgOptions(TComponent& owner);

    // The castle legend's box, filled by BuildCastleLegend.
    TScrollBox* ScBImages = nullptr;
};
