#include "editor/Dlg_error.h"

TErrorsFormBounds ErrorsFormBounds;

TDlgError::TDlgError(TComponent& owner) {
    SetCaption("World image warnings");
    LV = thorn::Make<TListView>(*this);
    LV->SetName("LV");
    LV->SetParent(this);
    LV->SetAlign(alClient);
}
