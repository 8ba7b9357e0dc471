#include "editor/About.h"

#include <string>

#include "editor/Main.h"
#include "gui/Application.h"
#include "platform/Classes.h"
#include "platform/Shell.h"

namespace {

constexpr const char* kCredits =
    "Makes the missions of Thornvale II, the strategy game of provinces, castles and armies for handheld "
    "organisers: from a world picture to the game's files.";

TLabel* PlaceLabel(TFrmAbout& form, TWinControl* parent, const char* name, const std::string& caption, int left,
                   int top) {
    TLabel* label = thorn::Make<TLabel>(form);
    label->SetName(name);
    label->SetCaption(caption);
    label->SetParent(parent);
    label->SetLeft(left);
    label->SetTop(top);
    return label;
}

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

    GroupBox1 = thorn::Make<TGroupBox>(*this);
    GroupBox1->SetName("GroupBox1");
    GroupBox1->SetCaption("");
    GroupBox1->SetParent(this);
    GroupBox1->SetBounds(8, 4, 404, 217);

    Image1 = thorn::Make<TImage32>(*this);
    Image1->SetName("Image1");
    Image1->SetParent(GroupBox1);
    Image1->SetBounds(10, 14, 168, 192);
    Image1->SetScaleMode(smStretch);
    // Without its picture the box still tells what it has to.
    try {
        Image1->GetBitmap()->LoadFromFile(StartDir / kPictureFile);
    } catch (const Exception&) {
        Image1->GetBitmap()->SetSize(0, 0);
    }

    Label1 = PlaceLabel(*this, GroupBox1, "Label1", "Thornvale II Mission editor", 190, 18);
    Label1->Font().SetSize(12);
    Label1->Font().SetStyle(fsBold);

    Label2 = PlaceLabel(*this, GroupBox1, "Label2", kCredits, 190, 52);
    Label2->SetAutoSize(false);
    Label2->SetWordWrap(true);
    Label2->SetBounds(190, 52, 204, 80);

    Label4 = PlaceLabel(*this, GroupBox1, "Label4", "Version 1.02", 190, 150);

    Label3 = PlaceLabel(*this, GroupBox1, "Label3", std::string(kProductPage), 190, 176);
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
