#pragma once

#include "gui/Forms.h"
#include "inspector/Rminspector.h"

// "Mission Properties": the stay-on-top tool window with the mission grid.
class TMissFrame : public TForm {
public:
    explicit TMissFrame(TComponent& owner);

    // Rebuild the victory and lose parts of the mission grid.
    void RefreshVictoryConds();
    void RefreshLoseConds();

    TrmInspector* RMIMission = nullptr;
};
