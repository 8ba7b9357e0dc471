#include "editor/Dlg_options.h"

TDlgOptions::TDlgOptions(TComponent& owner) {
    SetCaption("Map Editor Preferences");
    ScBImages = thorn::Make<TScrollBox>(*this);
    ScBImages->SetName("ScBImages");
}
