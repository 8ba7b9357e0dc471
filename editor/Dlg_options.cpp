#include "editor/Dlg_options.h"

#include <string>

#include "bitmapui/Pix32_Image.h"
#include "editor/LabelFont.h"
#include "editor/Main.h"
#include "editor/WindowParts.h"

namespace {

// Set while the controls are filled from the settings.
class Filling {
public:
    explicit Filling(bool& flag) : flag_(flag) { flag_ = true; }
    ~Filling() { flag_ = false; }
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

private:
    bool& flag_;
};

using thorn::Place;

TCheckBox* PlaceCheckBox(TDlgOptions& form, TWinControl* parent, const char* name, const char* caption, int top) {
    TCheckBox* box = Place<TCheckBox>(form, parent, name);
    box->SetCaption(caption);
    box->SetBounds(12, top, 240, 17);
    return box;
}

}  // namespace

TDlgOptions::TDlgOptions(TComponent& owner) {
    SetName("DlgOptions");
    SetCaption("Map Editor Preferences");
    SetBorderStyle(bsDialog);
    SetBounds(340, 234, 287, 296);
    OnShow = [this](TObject* sender) { FormShow(sender); };

    Panel1 = thorn::PlaceButtonStrip(*this, this, "Panel1");
    BtnOK = thorn::PlaceRightStripButton(*this, *Panel1, "BtnOK", "Apply Changes", 112, 104);
    BtnOK->SetDefault(true);
    BtnOK->OnClick = [this](TObject* sender) { BtnOKClick(sender); };

    PgCColors = Place<TPageControl>(*this, this, "PgCColors");
    PgCColors->SetMultiLine(true);
    PgCColors->SetAlign(alClient);
    TbSOptions = thorn::Make<TTabSheet>(*this);
    TbSOptions->SetName("TbSOptions");
    TbSOptions->SetCaption("Editor Settings");
    TbSOptions->SetPageControl(PgCColors);
    TabSheet2 = thorn::Make<TTabSheet>(*this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetCaption("Images");
    TabSheet2->SetPageControl(PgCColors);
    TabSheet2->SetTabVisible(false);
    PgCColors->SetActivePage(TbSOptions);

    ChkBAutoShowErrors = PlaceCheckBox(*this, TbSOptions, "ChkBAutoShowErrors", "Show world image warnings", 10);
    ChkBAutoShowErrors->SetHint("Show world image warnings");
    ChkBAutoShowErrors->OnClick = Handled(&TDlgOptions::ChkBAutoShowErrorsClick);
    ChkBTransArmies = PlaceCheckBox(*this, TbSOptions, "ChkBTransArmies", "Transparent Armies", 32);
    ChkBTransArmies->OnClick = Handled(&TDlgOptions::ChkBTransArmiesClick);
    ChkBTransCastles = PlaceCheckBox(*this, TbSOptions, "ChkBTransCastles", "Transparent Castles", 54);
    ChkBTransCastles->SetVisible(false);
    ChkBTransCastles->OnClick = Handled(&TDlgOptions::ChkBTransCastlesClick);
    ChkBAutoResize = PlaceCheckBox(*this, TbSOptions, "ChkBAutoResize", "Auto-resize bitmap to import", 76);
    ChkBAutoResize->SetVisible(false);
    ChkBAutoResize->OnClick = Handled(&TDlgOptions::ChkBAutoResizeClick);

    Label1 = thorn::PlaceLabel(*this, TbSOptions, "Label1", "Castles and armies transparency:", 12, 62);
    TrkBTransValue = Place<TTrackBar>(*this, TbSOptions, "TrkBTransValue");
    TrkBTransValue->SetBounds(6, 80, 200, 45);
    TrkBTransValue->SetRange(0, 10);
    TrkBTransValue->SetFrequency(1);
    TrkBTransValue->SetTickMarks(tmBoth);
    TrkBTransValue->SetShowSelRange(true);
    TrkBTransValue->SetPosition(10);
    TrkBTransValue->SetSelEnd(10);
    TrkBTransValue->OnChange = Handled(&TDlgOptions::TrkBTransValueChange);
    LbTransValue = thorn::PlaceLabel(*this, TbSOptions, "LbTransValue", "100%", 214, 95);

    LbNameFont = thorn::PlaceLabel(*this, TbSOptions, "LbNameFont", "Provinces' names font:", 12, 136);
    BtnNameFont = Place<TButton>(*this, TbSOptions, "BtnNameFont");
    BtnNameFont->SetCaption("Sample Text");
    BtnNameFont->SetBounds(12, 154, 250, 40);
    BtnNameFont->OnClick = [this](TObject* sender) { BtnNameFontClick(sender); };

    ScBImages = Place<TScrollBox>(*this, TabSheet2, "ScBImages");
    ScBImages->SetAlign(alClient);
    // What the legend's first building finds here and replaces.
    thorn::PlaceLabel(*ScBImages, ScBImages, "LbArmySign", "Army Sign", 76, 16);
    TImage32* army = Place<TImage32>(*ScBImages, ScBImages, "ImgArmy0");
    army->SetBounds(48, 8, 20, 24);

    FontDialog = thorn::Make<TFontDialog>(*this);
    FontDialog->SetName("FontDialog");
    FontDialog->SetOptions({fdEffects, fdLimitSize});
    FontDialog->SetMinFontSize(thorn::kMinLabelFontSize);
    FontDialog->SetMaxFontSize(thorn::kMaxLabelFontSize);
    OpenPictureDialog = thorn::Make<TOpenPictureDialog>(*this);
    OpenPictureDialog->SetName("OpenPictureDialog");
    OpenPictureDialog->SetFilter("Bitmaps (*.bmp)|*.bmp");
}

void TDlgOptions::FormShow(TObject* sender) {
    if (!Settings) return;
    const CSettings& s = *Settings;
    CopyFont(s.LabelFont, BtnNameFont->Font());
    CopyFont(s.LabelFont, FontDialog->Font());
    {
        const Filling filling(filling_);
        ChkBAutoResize->SetChecked(s.AutoResize != 0);
        ChkBAutoShowErrors->SetChecked(s.AutoShowErr != 0);
        ChkBTransCastles->SetChecked(s.TransCastles != 0);
        ChkBTransArmies->SetChecked(s.TransArmies != 0);
        TrkBTransValue->SetPosition(s.TransValue * TrkBTransValue->GetMax() / 255);
    }
    ShowTransPosition();
}

void TDlgOptions::ShowTransPosition() {
    const int position = TrkBTransValue->GetPosition();
    const int max = TrkBTransValue->GetMax();
    TrkBTransValue->SetSelStart(0);
    TrkBTransValue->SetSelEnd(position);
    LbTransValue->SetCaption(std::to_string(max > 0 ? position * 100 / max : 0) + "%");
}

void TDlgOptions::TrkBTransValueChange(TObject* sender) {
    const int max = TrkBTransValue->GetMax();
    if (Settings && max > 0) Settings->TransValue = static_cast<uint8_t>(TrkBTransValue->GetPosition() * 255 / max);
    ShowTransPosition();
    if (MapProject) {
        MapProject->UpdateCastleIcons();
        MapProject->UpdateArmyIcons();
    }
}

void TDlgOptions::ChkBAutoShowErrorsClick(TObject* sender) {
    if (Settings) Settings->AutoShowErr = ChkBAutoShowErrors->GetChecked() ? 1 : 0;
}

void TDlgOptions::ChkBTransCastlesClick(TObject* sender) {
    if (Settings) Settings->TransCastles = ChkBTransCastles->GetChecked() ? 1 : 0;
    if (MapProject) MapProject->UpdateCastleIcons();
}

void TDlgOptions::ChkBTransArmiesClick(TObject* sender) {
    if (Settings) Settings->TransArmies = ChkBTransArmies->GetChecked() ? 1 : 0;
    if (MapProject) MapProject->UpdateArmyIcons();
}

void TDlgOptions::ChkBAutoResizeClick(TObject* sender) {
    if (Settings) Settings->AutoResize = ChkBAutoResize->GetChecked() ? 1 : 0;
}

void TDlgOptions::BtnNameFontClick(TObject* sender) {
    if (!Settings) return;
    CopyFont(Settings->LabelFont, FontDialog->Font());
    if (!FontDialog->Execute()) return;
    // The dialog keeps to the sizes in points; a resolution of its own can
    // still make them larger on the screen.
    TFont chosen = FontDialog->GetFont();
    thorn::KeepLabelFontSize(chosen);
    CopyFont(chosen, Settings->LabelFont);
    CopyFont(chosen, BtnNameFont->Font());
    if (MapProject) MapProject->UpdateAllLabels();
}

void TDlgOptions::BtnOKClick(TObject* sender) { Close(); }
