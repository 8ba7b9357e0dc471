#pragma once

#include "gui/Buttons.h"
#include "gui/CheckBox.h"
#include "gui/ExtDlgs.h"
#include "gui/FontDialog.h"
#include "gui/Forms.h"
#include "gui/Label.h"
#include "gui/PageControl.h"
#include "gui/Panel.h"
#include "gui/ScrollBox.h"
#include "gui/TrackBar.h"

// "Map Editor Preferences": the preferences of Settings that the designer
// changes here, each at once, on the world view too: the warnings window
// opening by itself, the translucency of castle and army icons, the label
// font and the resizing of small world pictures. There is no cancel. Showing
// the dialog fills its controls from Settings and changes nothing. The
// hidden "Images" page holds the castle legend.
class TDlgOptions : public TForm {
public:
    explicit TDlgOptions(TComponent& owner);

    // ---- events
    // Fills the controls from Settings without running their handlers.
    void FormShow(TObject* sender);
    void BtnNameFontClick(TObject* sender);
    void TrkBTransValueChange(TObject* sender);
    void ChkBAutoShowErrorsClick(TObject* sender);
    void ChkBTransCastlesClick(TObject* sender);
    void ChkBTransArmiesClick(TObject* sender);
    void ChkBAutoResizeClick(TObject* sender);
    void BtnOKClick(TObject* sender);

    TPageControl* PgCColors = nullptr;
    TTabSheet* TbSOptions = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TCheckBox* ChkBAutoShowErrors = nullptr;
    TCheckBox* ChkBTransArmies = nullptr;
    TCheckBox* ChkBTransCastles = nullptr;
    TCheckBox* ChkBAutoResize = nullptr;
    TLabel* Label1 = nullptr;
    TTrackBar* TrkBTransValue = nullptr;
    TLabel* LbTransValue = nullptr;
    TLabel* LbNameFont = nullptr;
    TButton* BtnNameFont = nullptr;
    TPanel* Panel1 = nullptr;
    TButton* BtnOK = nullptr;
    // The castle legend's box, filled by BuildCastleLegend.
    TScrollBox* ScBImages = nullptr;
    TFontDialog* FontDialog = nullptr;
    // Nothing opens it.
    TOpenPictureDialog* OpenPictureDialog = nullptr;

private:
    // The bar's selection from its start to the position, and the position
    // as a share in LbTransValue.
    void ShowTransPosition();
    // A control's handler, left out while FormShow fills the controls.
    template <typename Handler>
    auto Handled(Handler handler) {
        return [this, handler](TObject* sender) {
            if (!filling_) (this->*handler)(sender);
        };
    }

    bool filling_ = false;
};
