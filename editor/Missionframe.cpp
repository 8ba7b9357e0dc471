#include "editor/Missionframe.h"

TMissFrame::TMissFrame(TComponent& owner) {
    SetCaption("Mission Properties");
    RMIMission = thorn::Make<TrmInspector>(*this);
    RMIMission->SetName("RMIMission");
    RMIMission->SetParent(this);
    RMIMission->SetAlign(alClient);
}

void TMissFrame::RefreshVictoryConds() {}

void TMissFrame::RefreshLoseConds() {}
