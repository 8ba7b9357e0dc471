#pragma once

#include <cstdint>

#include "gui/Buttons.h"
#include "gui/Forms.h"
#include "gui/ImageList.h"
#include "gui/ListView.h"
#include "gui/Panel.h"

// The warnings window's bounds as the settings file keeps them: read before
// the window exists, applied when it is made, taken again at every resize.
struct TErrorsFormBounds {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Left = 0;
    int32_t Top = 0;
};
extern TErrorsFormBounds ErrorsFormBounds;

// "World image warnings": the stay-on-top tool window listing what the
// analysis of the world picture changed on its own, one row per warning of
// the project's ErrorList (made by CErrorList::FillListView). Choosing a row
// marks the warning's piece on the world view and scrolls to it.
class TDlgError : public TForm {
public:
    explicit TDlgError(TComponent& owner);

    // ---- events
    // Fills ILErrors from the start folder's small pictures; a strip that
    // cannot be read is reported and the rows go without pictures.
    void FormCreate(TObject* sender);
    // Takes the window's size and place into ErrorsFormBounds; a move alone
    // does not come here.
    void FormResize(TObject* sender);
    // A row chosen shows its warning; a row left (or none) restores the map.
    void LVSelectItem(TObject* sender, TListItem* item, bool selected);
    void BtnOkClick(TObject* sender);
    void BtnRefreshClick(TObject* sender);

    TListView* LV = nullptr;
    TPanel* Panel1 = nullptr;
    TButton* BtnOk = nullptr;
    TButton* BtnRefresh = nullptr;
    TImageList* ILErrors = nullptr;
};
