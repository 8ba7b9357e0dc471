#include "editor/Main.h"

#include <string>

#include "editor/About.h"
#include "editor/CreateForm.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_options.h"
#include "editor/Dlg_slide.h"
#include "editor/EditorImages.h"
#include "editor/EditorWindows.h"
#include "editor/Eventsframe.h"
#include "editor/FileCommands.h"
#include "editor/MainActions.h"
#include "editor/MainLayout.h"
#include "editor/MarkerPicture.h"
#include "editor/Missionframe.h"
#include "editor/SettingsFile.h"
#include "gui/Application.h"
#include "model/GameData.h"

std::unique_ptr<CMapProject> MapProject;
std::unique_ptr<CSettings> Settings;
std::unique_ptr<CTextures> MapTexturesNormal;
std::unique_ptr<CTextures> MapTexturesSelected;
std::unique_ptr<CTextures> SeaTexture;
std::filesystem::path StartDir;
CProvince* BlinkProvince = nullptr;
uint8_t BlinkPhase = 0;

thorn::ComponentRef<TMainForm> MainForm;
thorn::ComponentRef<TDlgError> DlgError;
thorn::ComponentRef<TDlgComplex> DlgComplex;
thorn::ComponentRef<TFrmAbout> FrmAbout;
thorn::ComponentRef<TDlgOptions> DlgOptions;
thorn::ComponentRef<TEventFrame> EventFrame;
thorn::ComponentRef<TMissFrame> MissFrame;
thorn::ComponentRef<TFormSlide> FormSlide;

namespace thorn {

MainModuleScope::MainModuleScope() {
    MapProject = std::make_unique<CMapProject>();
    Settings = std::make_unique<CSettings>();
    MapTexturesNormal = std::make_unique<CTextures>();
    MapTexturesSelected = std::make_unique<CTextures>();
    SeaTexture = std::make_unique<CTextures>();
    StartDir.clear();
    BlinkProvince = nullptr;
    BlinkPhase = 0;
}

MainModuleScope::~MainModuleScope() {
    // A main window that never closed left the project and the settings.
    MapProject.reset();
    Settings.reset();
    StartDir.clear();
    SeaTexture.reset();
    MapTexturesSelected.reset();
    MapTexturesNormal.reset();
    BlinkProvince = nullptr;
    BlinkPhase = 0;
}

}  // namespace thorn

namespace {

constexpr const char* kTextureFiles[] = {"res/MapTexturesNormal.bmp", "res/MapTexturesSelected.bmp",
                                         "res/SeaTexture.bmp"};
constexpr const char* kMarkerFile = "res/marker.bmp";

}  // namespace

TMainForm::TMainForm(TComponent& owner) : windows_(std::make_unique<thorn::EditorWindows>()) {
    thorn::BuildMainActions(*this);
    thorn::BuildMainLayout(*this);
    thorn::BuildFileDialogs(*this);
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnResize = [this](TObject* sender) { FormResize(sender); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    OnMouseMove = [this](TObject* sender, TShiftState shift, int x, int y) { FormMouseMove(sender, shift, x, y); };
}

TMainForm::~TMainForm() = default;

void TMainForm::BeforeDestruction() {
    // The project may outlive the window (a window that never closed): it
    // goes back to its own stand-in rather than reach a window that is gone.
    if (MapProject && &MapProject->Editor() == windows_.get()) MapProject->SetEditorLink(nullptr);
    if (Application && Application->OnHint) Application->OnHint = nullptr;
    TForm::BeforeDestruction();
}

// ---------------------------------------------------------------- creation

void TMainForm::FormCreate(TObject* sender) {
    if (MapProject) MapProject->SetEditorLink(windows_.get());

    thorn::CreateForm(*this, DlgOptions);
    thorn::CreateForm(*this, EventFrame);
    thorn::CreateForm(*this, MissFrame);
    thorn::CreateForm(*this, FormSlide);

    for (TrmInspector* grid : {RMIPlayer, RMIProvince}) {
        grid->SetItemIndex(-1);
        grid->ClearItems();
    }

    StartDir = std::filesystem::current_path();

    CTextures* textures[] = {MapTexturesNormal.get(), MapTexturesSelected.get(), SeaTexture.get()};
    for (int i = 0; i < 3; ++i)
        if (textures[i]->Load(std::filesystem::path(".") / kTextureFiles[i]) == 0)
            Error(std::string("Cannot find ") + kTextureFiles[i]);
    if (!thorn::LoadMarkerPicture(*Bitmap32List, std::filesystem::path(".") / kMarkerFile))
        Error(std::string("Cannot find ") + kMarkerFile);

    LoadImages();
    OpenSettingsDocument();
    OpenGameDataDocument();

    LoadSettings(thorn::FindChildNode(XMLIni->GetDocumentElement(), "Editor"));

    Application->SetShowHint(true);
    Application->OnHint = [this](TObject* sender) { ShowApplicationHint(sender); };

    ActShowNames->SetChecked(Settings->ShNames != 0);
    ActShowIcons->SetChecked(Settings->ShIcons != 0);
    ActShowCastles->SetChecked(Settings->ShCastles != 0);
    ActShowArmies->SetChecked(Settings->ShArmies != 0);
    ActShowOwnerColor->SetChecked(Settings->OwnerColors != 0);

    MapProject->EnableProjectUI(0);
    // The province grid follows the selection only while its page shows;
    // on the players page the selection marks the chosen player's domain.
    MapProject->Selection.GridLink = PgCMissionProperties->GetActivePageIndex() == 0 ? 0 : 1;

    if (thorn::ProvinceNameGenerator(NameTables, StartDir) == 0) ActRenProv->SetVisible(false);
}

void TMainForm::LoadImages() {
    // The warnings window fills its own list of the small pictures.
    TImageList small;
    try {
        thorn::LoadEditorImages(*ImageList, small, StartDir);
    } catch (const Exception& e) {
        // The commands still work from the menus and the keys.
        Error("The pictures of the tool bars cannot be loaded: " + e.Message());
    }
}

void TMainForm::OpenSettingsDocument() {
    std::string fault;
    settingsDamaged_ = thorn::OpenSettingsDocument(*XMLIni, "./ini.xml", fault) == thorn::SettingsFileState::Damaged;
    // A missing file is no fault: the editor starts with its defaults and
    // writes the file when it closes.
    if (settingsDamaged_)
        Error("The settings file \"ini.xml\" cannot be read: " + fault +
              "\nThe editor starts with its default settings; the file is kept beside it as \"ini.xml.damaged\" "
              "(numbered when that name is taken) when the editor closes.");
}

void TMainForm::OpenGameDataDocument() {
    std::string fault;
    try {
        XMLData = thorn::OpenGameData("./pw.xml");
        fault = thorn::CheckGameData(XMLData->GetDocumentElement(), StartDir);
    } catch (const Exception& e) {
        fault = e.Message();
    }
    if (fault.empty()) return;
    // Without a catalogue no mission can be made or opened; the rest of the
    // editor still starts.
    XMLData = std::make_unique<TXMLDocument>();
    ActNewProject->SetEnabled(false);
    ActLoadProject->SetEnabled(false);
    Error("The game data \"pw.xml\" cannot be used: " + fault +
          "\nNew project and Open project stay disabled until it is mended.");
}

// ---------------------------------------------------------------- window events

void TMainForm::FormResize(TObject* sender) {
    StatusBar->Panels()[2]->SetWidth(GetWidth() - 200);
    if (MapProject) MapProject->FitWorldImage();
}

void TMainForm::FormCloseQuery(TObject* sender, bool& canClose) {
    canClose = true;
    if (!MapProject) return;
    switch (MapProject->AskSaveChanges()) {
        case 2: canClose = false; break;
        case 1:
            // The window closes only once the changes are safe.
            ActSaveProject->Execute();
            canClose = MapProject->Modified == 0;
            break;
        default: break;
    }
}

void TMainForm::FormClose(TObject* sender, TCloseAction& action) {
    if (MapProject) MapProject->Reset();
    const std::filesystem::path path = StartDir / "ini.xml";
    SaveSettings(thorn::EditorSettingsNode(*XMLIni));
    try {
        thorn::WriteSettingsDocument(*XMLIni, path, settingsDamaged_);
        settingsDamaged_ = false;
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    XMLIni->Clear();
    XMLData->Clear();
    MapProject.reset();
    Settings.reset();
    for (TComponent* form : {static_cast<TComponent*>(DlgOptions.Get()), static_cast<TComponent*>(EventFrame.Get()),
                             static_cast<TComponent*>(MissFrame.Get()), static_cast<TComponent*>(FormSlide.Get())})
        if (form) thorn::Free(form);
}

void TMainForm::Error(std::string_view text) { Application->MessageBox(text, {}, MB_OK); }

void TMainForm::ShowApplicationHint(TObject* sender) {
    StatusBar->Panels()[2]->SetText(GetShortHint(Application->GetHint()));
}

void TMainForm::ImgView32Scroll(TObject* sender) {
    if (MapProject) MapProject->UpdateIconLayers();
}

// ---------------------------------------------------------------- world view

void TMainForm::SplitterMoved(TObject* sender) {
    if (MapProject) MapProject->FitWorldImage();
}

// ---------------------------------------------------------------- pages and lists


// ---------------------------------------------------------------- commands

void TMainForm::ActShowMissRMIExecute(TObject* sender) {
    ActShowMissRMI->SetChecked(!ActShowMissRMI->GetChecked());
    if (!MissFrame) return;
    if (ActShowMissRMI->GetChecked())
        MissFrame->Show();
    else
        MissFrame->Hide();
}

void TMainForm::ActShowEventRMIExecute(TObject* sender) {
    ActShowEventRMI->SetChecked(!ActShowEventRMI->GetChecked());
    if (!EventFrame) return;
    if (ActShowEventRMI->GetChecked())
        EventFrame->Show();
    else
        EventFrame->Hide();
}

void TMainForm::ActShowErrorsExecute(TObject* sender) {
    if (!DlgError || !MapProject) return;
    MapProject->ErrorList.FillListView();
    DlgError->Show();
}

void TMainForm::ActShowOptionsExecute(TObject* sender) {
    if (DlgOptions) DlgOptions->ShowModal();
}

void TMainForm::ActExitExecute(TObject* sender) { Close(); }

void TMainForm::ActAboutExecute(TObject* sender) {
    if (FrmAbout) FrmAbout->ShowModal();
}
