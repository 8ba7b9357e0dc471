#pragma once

#include <cstdint>

#include "gui/Forms.h"
#include "gui/ListView.h"

// The warnings window's bounds as the settings file keeps them: read before
// the window exists, applied when it is made, taken again at every resize.
struct TErrorsFormBounds {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Left = 0;
    int32_t Top = 0;
};
extern TErrorsFormBounds ErrorsFormBounds;

// "World image warnings": the warnings the analysis of a world picture
// made, one row each in LV.
class TDlgError : public TForm {
public:
    explicit TDlgError(TComponent& owner);

    TListView* LV = nullptr;
};
