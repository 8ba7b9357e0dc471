#pragma once

#include "gui/Forms.h"
#include "inspector/Rminspector.h"

// "Mission Properties": the stay-on-top tool window in which the designer
// edits the mission's texts in the string table in use, one grid row each.
class TMissFrame : public TForm {
public:
    explicit TMissFrame(TComponent& owner);

    void FormCreate(TObject* sender);
    // The window's own close box unticks the command that shows it.
    void FormHide(TObject* sender);

    // Builds the six rows (found by key, made when missing) with their
    // captions and limits; writes no values.
    void FillMissionInspector();
    // A typed mission name or author reaches the string table in use.
    void RMIMissionItemChange(TObject* sender);
    // A long text edited in the text dialog reaches the string table in use.
    void RMIMissionComplexEdit(TObject* sender);

    // Called after players or provinces change. The conditions have no rows
    // here and keep the project's values, so the grid stays as it is.
    void RefreshVictoryConds();
    void RefreshLoseConds();

    TrmInspector* RMIMission = nullptr;
};
