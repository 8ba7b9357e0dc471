#pragma once

#include <string_view>

#include "bitmapui/Pix32_Image.h"
#include "gui/Buttons.h"
#include "gui/Forms.h"
#include "gui/GroupBox.h"
#include "gui/Label.h"

// The modal about box: the editor's picture, title, credits, version and a
// link to the product's web page, which opens in the desktop's browser.
class TFrmAbout : public TForm {
public:
    explicit TFrmAbout(TComponent& owner);

    // The product's web page the link opens.
    static constexpr std::string_view kProductPage = "https://thornvale.example.org/";
    // The picture, in the start folder.
    static constexpr std::string_view kPictureFile = "res/about.bmp";

    // ---- events
    void btnOKAboutClick(TObject* sender);
    // Escape closes the box as the button does.
    void FormKeyPress(TObject* sender, char& key);
    // Opens the web page; says so when no browser could be started.
    void Label3Click(TObject* sender);

    TGroupBox* GrpBAbout = nullptr;
    TImage32* ImgAbout = nullptr;
    TLabel* LblTitle = nullptr;
    TLabel* LblCredits = nullptr;
    TLabel* LblVersion = nullptr;
    // The link; its name goes with its handler's, Label3Click.
    TLabel* Label3 = nullptr;
    TButton* btnOKAbout = nullptr;
};
