#include "editor/Dlg_comp.h"

TDlgComplex::TDlgComplex(TComponent& owner) { SetCaption("Edit text"); }
