#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "bitmapui/Pix32_Image.h"
#include "editor/ProvinceNameGenerator.h"
#include "editor/ToolWindowPlaces.h"
#include "gui/ActnList.h"
#include "gui/Bevel.h"
#include "gui/Dialogs.h"
#include "gui/ExtDlgs.h"
#include "gui/Forms.h"
#include "gui/ImageList.h"
#include "gui/Label.h"
#include "gui/ListView.h"
#include "gui/Menus.h"
#include "gui/PageControl.h"
#include "gui/Panel.h"
#include "gui/ScrollBox.h"
#include "gui/Splitter.h"
#include "gui/StatusBar.h"
#include "gui/Timers.h"
#include "gui/ToolBar.h"
#include "gui/ToolButton.h"
#include "inspector/Rminspector.h"
#include "model/Settings.h"
#include "model/Textures.h"
#include "model/mapproject.h"
#include "platform/XMLDoc.h"

class TMainForm;
class TDlgError;
class TDlgComplex;
class TFrmAbout;
class TDlgOptions;
class TEventFrame;
class TMissFrame;
class TFormSlide;
class CProvince;

namespace thorn {
class EditorWindows;
}

// ---- the single objects of the program
// Each name refers to an object the program's run owns (see
// thorn::MainModuleScope) and reads null when there is none: nothing is
// left for the end of the process to destroy, so no exit, however abrupt,
// destroys them in an order that could crash.

// The project, made before any window and deleted when the main window
// closes; the New and Open commands empty and refill it in place.
extern CMapProject* MapProject;
// The preferences, read from "ini.xml" when the main window is made and
// written back when it closes, then deleted.
extern CSettings* Settings;
// The texture strips map pieces are painted from, loaded from "res" at
// start-up.
extern CTextures* MapTexturesNormal;
extern CTextures* MapTexturesSelected;
extern CTextures* SeaTexture;
// The folder the editor started in: "ini.xml" goes back there whatever
// folder the file dialogs leave current.
extern std::filesystem::path StartDir;
// The province whose piece blinks on the world view, and the blink's phase.
extern CProvince* BlinkProvince;
extern uint8_t BlinkPhase;

// The windows: the application owns the main window, the warnings window,
// the text dialog and the about box; the main window owns the other four.
// Each reads null once its window is gone.
extern thorn::ComponentRef<TMainForm> MainForm;
extern thorn::ComponentRef<TDlgError> DlgError;
extern thorn::ComponentRef<TDlgComplex> DlgComplex;
extern thorn::ComponentRef<TFrmAbout> FrmAbout;
extern thorn::ComponentRef<TDlgOptions> DlgOptions;
extern thorn::ComponentRef<TEventFrame> EventFrame;
extern thorn::ComponentRef<TMissFrame> MissFrame;
extern thorn::ComponentRef<TFormSlide> FormSlide;

namespace thorn {

// What the main window's close deletes of the objects below: the project,
// then the settings; their names read null afterwards.
void DeleteProjectAndSettings();

// The one place the editor's objects live in while the program runs: made
// before the program's windows, in the order project, settings, textures,
// with the start folder empty and no blink. When the scope ends, whatever
// is left is destroyed in the reverse order: the program's windows that
// still stand (the about box, the text dialog, the warnings window, the
// main window), the textures (sea, selected, normal), the settings and the
// project; all of it while the application, its host and the font cache
// are still there. One scope lives at a time.
class MainModuleScope {
public:
    MainModuleScope();
    ~MainModuleScope();
    MainModuleScope(const MainModuleScope&) = delete;
    MainModuleScope& operator=(const MainModuleScope&) = delete;

private:
    friend void DeleteProjectAndSettings();
    std::unique_ptr<CMapProject> project_;
    std::unique_ptr<CSettings> settings_;
    std::unique_ptr<CTextures> normal_, selected_, sea_;
};

}  // namespace thorn

// The main window: the world view in its scroll box, the players and
// provinces pages with their lists and grids, the menus, the tool bar and
// the status bar. It holds only its components; the project and the
// settings are the globals above.
class TMainForm : public TForm {
public:
    explicit TMainForm(TComponent& owner);
    ~TMainForm() override;
    void BeforeDestruction() override;

    // ---- window events
    void FormCreate(TObject* sender);
    void FormResize(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormMouseMove(TObject* sender, TShiftState shift, int x, int y);

    // Copies the settings and the windows' places into "ini.xml" and writes
    // it to the start folder; nothing once the settings are deleted. Throws
    // what the write meets.
    void WriteSettingsFile();
    // A modal box with the text and one OK button, under the system's caption.
    void Error(std::string_view text);
    // The application's OnHint: the short part of its hint into status panel 2.
    void ShowApplicationHint(TObject* sender);
    // Re-places every province marker after the view scrolled.
    void ImgView32Scroll(TObject* sender);

    // ---- world view
    void ImgVWorldMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer);
    void ImgVWorldMouseMove(TObject* sender, TShiftState shift, int x, int y, TCustomLayer* layer);
    void ImgVWorldMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y, TCustomLayer* layer);
    void TimerTimer(TObject* sender);
    void SplitterMoved(TObject* sender);

    // ---- pages and lists
    void PgCMissionPropertiesChange(TObject* sender);
    void LVPlayersSelectItem(TObject* sender, TListItem* item, bool selected);
    void LVPlayersChange(TObject* sender, TListItem* item, TItemChange change);
    void RMIPlayerItemChange(TObject* sender);
    void LVProvincesSelectItem(TObject* sender, TListItem* item, bool selected);
    // An edit of the province grid, applied to every selected province.
    void RMIProvinceItemChange(TObject* sender);

    // ---- commands
    void ActNewProjectExecute(TObject* sender);
    void ActSaveProjectExecute(TObject* sender);
    void ActSaveAsProjectExecute(TObject* sender);
    void ActLoadProjectExecute(TObject* sender);
    void ActReloadMapExecute(TObject* sender);
    void ActZoomInExecute(TObject* sender);
    void ActZoomFillExecute(TObject* sender);
    void ActZoomOutExecute(TObject* sender);
    void ActFilePanelExecute(TObject* sender);
    void ActZoomPanelExecute(TObject* sender);
    void ActShowPanelExecute(TObject* sender);
    void ActShowIconsExecute(TObject* sender);
    void ActShowNamesExecute(TObject* sender);
    void ActShowCastlesExecute(TObject* sender);
    void ActShowArmiesExecute(TObject* sender);
    void ActShowOwnerColorExecute(TObject* sender);
    void ActShowNeighboursExecute(TObject* sender);
    void ActShowMissRMIExecute(TObject* sender);
    void ActShowEventRMIExecute(TObject* sender);
    void ActShowErrorsExecute(TObject* sender);
    void ActShowOptionsExecute(TObject* sender);
    void ActExitExecute(TObject* sender);
    void ActSavePDAExecute(TObject* sender);
    void ActRenProvExecute(TObject* sender);
    void ActAddProvinceExecute(TObject* sender);
    void ActDelProvinceExecute(TObject* sender);
    void ActAboutExecute(TObject* sender);
    void ActRecalcIconPlacesExecute(TObject* sender);
    void ActGenerateIncomeExecute(TObject* sender);

    // ---- menus
    TMainMenu* MainMenu = nullptr;
    TMenuItem* MnuFile = nullptr;
    TMenuItem* MnuView = nullptr;
    TMenuItem* MnuTools = nullptr;
    TMenuItem* MnuHelp = nullptr;

    // ---- tool bar
    TPanel* ControlBar_View = nullptr;
    TToolBar* TBrShow = nullptr;
    TToolButton* BtnActShowErrors = nullptr;

    // ---- players and provinces pages
    TPageControl* PgCMissionProperties = nullptr;
    TTabSheet* TabSheetPlayers = nullptr;
    TLabel* LblPlayers = nullptr;
    TListView* LVPlayers = nullptr;
    TLabel* LblPlayerProperties = nullptr;
    TrmInspector* RMIPlayer = nullptr;
    TBevel* BvlDomain = nullptr;
    TLabel* LblDomainInfo = nullptr;
    TLabel* LblDomainSummaryTitle = nullptr;
    TLabel* LblDomainSummary = nullptr;
    TLabel* LblDomainIncomeTitle = nullptr;
    TLabel* LblDomainIncome = nullptr;
    TLabel* LblDomainArmyTitle = nullptr;
    TLabel* LblDomainArmy = nullptr;
    TTabSheet* TabSheetProvinces = nullptr;
    TPanel* PlProvince = nullptr;
    TLabel* LblProvinces = nullptr;
    TListView* LVProvinces = nullptr;
    TToolBar* TBProvButtons = nullptr;
    TToolBar* ToolBar2 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* Panel2 = nullptr;
    TLabel* LblProvinceProperties = nullptr;
    TrmInspector* RMIProvince = nullptr;
    TLabel* LblSelProvInfo = nullptr;
    TLabel* LblSelProvSummaryTitle = nullptr;
    TLabel* LblSelProvSummary = nullptr;
    TLabel* LblSelProvIncomeTitle = nullptr;
    TLabel* LblSelProvIncome = nullptr;
    TLabel* LblSelProvArmyTitle = nullptr;
    TLabel* LblSelProvArmy = nullptr;
    TToolBar* TBGenerateIncome = nullptr;

    // ---- world view
    TSplitter* Splitter = nullptr;
    TScrollBox* ScrBWorld = nullptr;
    TLabel* LblNoProject = nullptr;
    TImage32* ImgVWorld = nullptr;
    TStatusBar* StatusBar = nullptr;

    // ---- non-visual components
    TActionList* ActionList = nullptr;
    TImageList* ImageList = nullptr;
    TBitmap32List* Bitmap32List = nullptr;
    TBitmap32List* BLCastleImages = nullptr;
    TTimer* Timer = nullptr;
    TOpenPictureDialog* OpenPictureDialog = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    // "ini.xml" and "pw.xml", open from creation to close; empty when
    // they could not be read.
    std::unique_ptr<TXMLDocument> XMLIni = std::make_unique<TXMLDocument>();
    std::unique_ptr<TXMLDocument> XMLData = std::make_unique<TXMLDocument>();
    // The province name generator's tables, learned from the sample names.
    thorn::ProvinceNameTables NameTables;

    // ---- actions, in the order of the action list
    TAction* ActNewProject = nullptr;
    TAction* ActSaveProject = nullptr;
    TAction* ActSaveAsProject = nullptr;
    TAction* ActLoadProject = nullptr;
    TAction* ActReloadMap = nullptr;
    TAction* ActZoomIn = nullptr;
    TAction* ActZoomFill = nullptr;
    TAction* ActZoomOut = nullptr;
    TAction* ActFilePanel = nullptr;
    TAction* ActZoomPanel = nullptr;
    TAction* ActShowPanel = nullptr;
    TAction* ActShowIcons = nullptr;
    TAction* ActShowNames = nullptr;
    TAction* ActShowCastles = nullptr;
    TAction* ActShowArmies = nullptr;
    TAction* ActShowOwnerColor = nullptr;
    TAction* ActShowNeighbours = nullptr;
    TAction* ActShowMissRMI = nullptr;
    TAction* ActShowEventRMI = nullptr;
    TAction* ActShowErrors = nullptr;
    TAction* ActShowOptions = nullptr;
    TAction* ActShowPreferences = nullptr;
    TAction* ActExit = nullptr;
    TAction* ActSavePDA = nullptr;
    TAction* ActRenProv = nullptr;
    TAction* ActAddProvince = nullptr;
    TAction* ActDelProvince = nullptr;
    TAction* ActAbout = nullptr;
    TAction* ActRecalcIconPlaces = nullptr;
    TAction* ActGenerateIncome = nullptr;
    TAction* ActResetMapIcons = nullptr;

    // The window interface the project reaches the windows through.
    thorn::EditorWindows& Windows() const { return *windows_; }
    // Where the tool windows are put as they show.
    thorn::ToolWindowPlaces& ToolPlaces() { return toolPlaces_; }

private:
    // The pictures of the tool bars and menus, from the start folder.
    void LoadImages();
    // Reads "ini.xml"; a damaged file is reported and kept aside at close,
    // one that is no regular file is reported and left as it is.
    void OpenSettingsDocument();
    // Opens "pw.xml" and checks the catalogue; a file the editor cannot use
    // is reported and leaves New and Open disabled.
    void OpenGameDataDocument();

    std::unique_ptr<thorn::EditorWindows> windows_;
    thorn::ToolWindowPlaces toolPlaces_;
    bool settingsDamaged_ = false;
    bool settingsUnusable_ = false;
};
