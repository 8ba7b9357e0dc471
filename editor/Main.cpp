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

CMapProject* MapProject = nullptr;
CSettings* Settings = nullptr;
CTextures* MapTexturesNormal = nullptr;
CTextures* MapTexturesSelected = nullptr;
CTextures* SeaTexture = nullptr;
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

namespace {

MainModuleScope* running = nullptr;

}  // namespace

MainModuleScope::MainModuleScope() {
    if (running) throw EInvalidOperation("The editor's objects live in one place at a time");
    project_ = std::make_unique<CMapProject>();
    settings_ = std::make_unique<CSettings>();
    normal_ = std::make_unique<CTextures>();
    selected_ = std::make_unique<CTextures>();
    sea_ = std::make_unique<CTextures>();
    MapProject = project_.get();
    Settings = settings_.get();
    MapTexturesNormal = normal_.get();
    MapTexturesSelected = selected_.get();
    SeaTexture = sea_.get();
    StartDir.clear();
    BlinkProvince = nullptr;
    BlinkPhase = 0;
    running = this;
}

MainModuleScope::~MainModuleScope() {
    // Windows that still stand (a main window that never closed) go first,
    // while what they show is still there.
    for (TComponent* form : {static_cast<TComponent*>(FrmAbout.Get()), static_cast<TComponent*>(DlgComplex.Get()),
                             static_cast<TComponent*>(DlgError.Get()), static_cast<TComponent*>(MainForm.Get())})
        if (form) Free(form);
    BlinkProvince = nullptr;
    BlinkPhase = 0;
    StartDir.clear();
    SeaTexture = MapTexturesSelected = MapTexturesNormal = nullptr;
    sea_.reset();
    selected_.reset();
    normal_.reset();
    DeleteProjectAndSettings();
    running = nullptr;
}

void DeleteProjectAndSettings() {
    if (!running) return;
    // The project goes first: resetting it may still read the settings.
    MapProject = nullptr;
    running->project_.reset();
    Settings = nullptr;
    running->settings_.reset();
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
    OnFrameRead = [this](TObject*) { toolPlaces_.FrameRead(*this); };
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

    CTextures* textures[] = {MapTexturesNormal, MapTexturesSelected, SeaTexture};
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
    const thorn::SettingsFileState state = thorn::OpenSettingsDocument(*XMLIni, "./ini.xml", fault);
    settingsDamaged_ = state == thorn::SettingsFileState::Damaged;
    settingsUnusable_ = state == thorn::SettingsFileState::Unusable;
    // A missing file is no fault: the editor starts with its defaults and
    // writes the file when it closes.
    if (settingsDamaged_)
        Error("The settings file \"ini.xml\" cannot be read: " + fault +
              "\nThe editor starts with its default settings; the file is kept beside it as \"ini.xml.damaged\" "
              "(numbered when that name is taken) when the editor closes.");
    if (settingsUnusable_)
        Error("The settings cannot be kept in " + fault +
              ".\nThe editor starts with its default settings and leaves \"ini.xml\" as it is when it closes.");
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
    StatusBar->Panels()[thorn::kHintPanel]->SetWidth(GetWidth() - 200);
    if (MapProject) MapProject->FitWorldImage();
}

void TMainForm::FormCloseQuery(TObject* sender, bool& canClose) {
    // The window closes only once the changes are safe.
    canClose = !MapProject || thorn::ChangesSettled(*this);
}

void TMainForm::FormClose(TObject* sender, TCloseAction& action) {
    if (MapProject) MapProject->Reset();
    try {
        WriteSettingsFile();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    }
    XMLIni->Clear();
    XMLData->Clear();
    thorn::DeleteProjectAndSettings();
    for (TComponent* form : {static_cast<TComponent*>(DlgOptions.Get()), static_cast<TComponent*>(EventFrame.Get()),
                             static_cast<TComponent*>(MissFrame.Get()), static_cast<TComponent*>(FormSlide.Get())})
        if (form) thorn::Free(form);
}

void TMainForm::WriteSettingsFile() {
    // What stands in the file's place is not the designer's settings file:
    // the designer was told, and it stays as it is.
    if (!Settings || settingsUnusable_) return;
    SaveSettings(thorn::EditorSettingsNode(*XMLIni));
    thorn::WriteSettingsDocument(*XMLIni, StartDir / "ini.xml", settingsDamaged_);
    settingsDamaged_ = false;
}

void TMainForm::Error(std::string_view text) { Application->MessageBox(text, {}, MB_OK); }

void TMainForm::ShowApplicationHint(TObject* sender) {
    StatusBar->Panels()[thorn::kHintPanel]->SetText(GetShortHint(Application->GetHint()));
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
