#include "editor/About.h"

#include <string>

#include "editor/Main.h"
#include "editor/WindowParts.h"
#include "gui/Application.h"
#include "platform/Classes.h"
#include "platform/Shell.h"

namespace {

constexpr const char* kCredits =
    "Makes the missions of Thornvale II, the strategy game of provinces, castles and armies for handheld "
    "organisers: from a world picture to the game's files.";

}  // namespace

TFrmAbout::TFrmAbout(TComponent& owner) {
    SetName("FrmAbout");
    SetCaption("About Thornvale II Mission editor");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(503);
    SetClientHeight(229);
    SetKeyPreview(true);
    OnKeyPress = [this](TObject* sender, char& key) { FormKeyPress(sender, key); };

    GrpBAbout = thorn::Place<TGroupBox>(*this, this, "GrpBAbout");
    GrpBAbout->SetCaption("");
    GrpBAbout->SetBounds(8, 4, 404, 217);

    ImgAbout = thorn::Place<TImage32>(*this, GrpBAbout, "ImgAbout");
    ImgAbout->SetBounds(10, 14, 168, 192);
    ImgAbout->SetScaleMode(smStretch);
    // Without its picture the box still tells what it has to.
    try {
        ImgAbout->GetBitmap()->LoadFromFile(StartDir / kPictureFile);
    } catch (const Exception&) {
        ImgAbout->GetBitmap()->SetSize(0, 0);
    }

    LblTitle = thorn::PlaceLabel(*this, GrpBAbout, "LblTitle", "Thornvale II Mission editor", 190, 18, true);
    LblTitle->Font().SetSize(12);

    LblCredits = thorn::PlaceLabel(*this, GrpBAbout, "LblCredits", kCredits, 190, 52);
    LblCredits->SetAutoSize(false);
    LblCredits->SetWordWrap(true);
    LblCredits->SetBounds(190, 52, 204, 80);

    LblVersion = thorn::PlaceLabel(*this, GrpBAbout, "LblVersion", "Version 1.02", 190, 150);

    Label3 = thorn::PlaceLabel(*this, GrpBAbout, "Label3", std::string(kProductPage), 190, 176);
    Label3->Font().SetColor(clBlue);
    Label3->Font().SetStyle(fsUnderline);
    Label3->SetCursor(crHandPoint);
    Label3->OnClick = [this](TObject* sender) { Label3Click(sender); };

    btnOKAbout = thorn::Make<TButton>(*this);
    btnOKAbout->SetName("btnOKAbout");
    btnOKAbout->SetCaption("&OK");
    btnOKAbout->SetParent(this);
    btnOKAbout->SetBounds(420, 10, 75, 25);
    btnOKAbout->OnClick = [this](TObject* sender) { btnOKAboutClick(sender); };
}

void TFrmAbout::btnOKAboutClick(TObject* sender) { Close(); }

void TFrmAbout::FormKeyPress(TObject* sender, char& key) {
    if (key == '\x1b') Close();
}

void TFrmAbout::Label3Click(TObject* sender) {
    if (!thorn::OpenLink(kProductPage))
        Application->MessageBox("The web page " + std::string(kProductPage) +
                                    " cannot be opened: no program to open it (xdg-open) could be started.",
                                GetCaption(), MB_OK | MB_ICONEXCLAMATION);
}
