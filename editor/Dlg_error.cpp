#include "editor/Dlg_error.h"

#include "editor/EditorImages.h"
#include "editor/Main.h"
#include "editor/WindowParts.h"
#include "gui/SizeConstraints.h"

TErrorsFormBounds ErrorsFormBounds;

namespace {

// The warning a row stands for, looked up among the project's warnings
// rather than taken on trust: a row that outlived its warning shows nothing.
CErrorList::CErrorBase* WarningOf(const TListItem& row) {
    if (!MapProject || !row.GetData()) return nullptr;
    const CErrorList& warnings = MapProject->ErrorList;
    for (int32_t i = 0; i < warnings.GetCount(); ++i)
        if (warnings.GetAt(i) == row.GetData()) return warnings.GetAt(i);
    return nullptr;
}

}  // namespace

TDlgError::TDlgError(TComponent& owner) {
    SetName("DlgError");
    SetCaption("World image warnings");
    thorn::SetUpToolWindow(*this, 334, 373, 200, 0);

    ILErrors = thorn::Make<TImageList>(*this, 16, 16);
    ILErrors->SetName("ILErrors");

    Panel1 = thorn::PlaceButtonStrip(*this, this, "Panel1");
    BtnOk = thorn::PlaceRightStripButton(*this, *Panel1, "BtnOk", "Close", 83);
    BtnOk->OnClick = [this](TObject* sender) { BtnOkClick(sender); };
    BtnRefresh = thorn::PlaceStripButton(*this, *Panel1, "BtnRefresh", "Refresh", 8, 80);
    BtnRefresh->Constraints().SetMinWidth(80);
    BtnRefresh->SetVisible(false);
    BtnRefresh->OnClick = [this](TObject* sender) { BtnRefreshClick(sender); };

    LV = thorn::Place<TListView>(*this, this, "LV");
    LV->SetAlign(alClient);
    LV->SetViewStyle(vsReport);
    LV->GetColumns()->Add()->SetAutoSize(true);
    LV->SetShowColumnHeaders(false);
    LV->SetRowSelect(true);
    LV->SetReadOnly(true);
    LV->SetHideSelection(false);
    LV->SetColumnClick(false);
    LV->SetSmallImages(ILErrors);
    LV->SetLargeImages(ILErrors);
    LV->OnSelectItem = [this](TObject* sender, TListItem* item, bool selected) {
        LVSelectItem(sender, item, selected);
    };

    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnResize = [this](TObject* sender) { FormResize(sender); };
    // Taken first: each step below resizes the window, which records its
    // bounds of the moment. Bounds the settings file did not give (none, of
    // no size, off the desktop) leave the window as designed.
    const TErrorsFormBounds saved = ErrorsFormBounds;
    if (saved.Width > 0 && saved.Height > 0) {
        SetBounds(saved.Left, saved.Top, saved.Width, saved.Height);
        SetPosition(poDesigned);
        // A move alone is no resize, so the place just taken is recorded here.
        FormResize(this);
    } else {
        ErrorsFormBounds = saved;
    }
}

void TDlgError::FormCreate(TObject* sender) {
    // Without the strip (the main window said so at the start) the rows go
    // without pictures.
    try {
        thorn::LoadEditorImageList(*ILErrors, 16, StartDir);
    } catch (const Exception&) {
        ILErrors->Clear();
    }
}

void TDlgError::FormResize(TObject* sender) {
    ErrorsFormBounds = {GetWidth(), GetHeight(), GetLeft(), GetTop()};
}

void TDlgError::LVSelectItem(TObject* sender, TListItem* item, bool selected) {
    if (!MapProject) return;
    if (item && selected) {
        if (CErrorList::CErrorBase* warning = WarningOf(*item)) warning->Show();
        return;
    }
    MapProject->ErrorList.SetCurrent(nullptr);
}

void TDlgError::BtnOkClick(TObject* sender) { Close(); }

// The button is hidden: the list is filled whenever the window is shown.
void TDlgError::BtnRefreshClick(TObject* sender) {}
