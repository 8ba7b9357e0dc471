#include "editor/MainActions.h"

#include <initializer_list>

#include "editor/EditorImages.h"
#include "editor/Main.h"

namespace thorn {

namespace {

constexpr int imNone = -1;
using enum EditorImage;

constexpr TShortCut Ctrl(char key) { return static_cast<TShortCut>(scCtrl | key); }
constexpr TShortCut CtrlAlt(char key) { return static_cast<TShortCut>(scCtrl | scAlt | key); }

// How an action is designed. State letters: E enabled, C checked, V visible.
struct ActionSpec {
    TAction* TMainForm::*field;
    const char* name;
    const char* caption;
    const char* hint;
    TShortCut shortCut;
    const char* state;
    int image;
    void (TMainForm::*handler)(TObject*);
};

constexpr bool Has(const char* state, char letter) {
    for (const char* p = state; *p; ++p)
        if (*p == letter) return true;
    return false;
}

// In the order of the action list.
const ActionSpec kActions[] = {
    {&TMainForm::ActNewProject, "ActNewProject", "&New project", "Import new bitmap and make new world", Ctrl('N'),
     "EV", Index(NewProject), &TMainForm::ActNewProjectExecute},
    {&TMainForm::ActSaveProject, "ActSaveProject", "&Save project", "Save Project", Ctrl('S'), "V", Index(SaveProject),
     &TMainForm::ActSaveProjectExecute},
    {&TMainForm::ActSaveAsProject, "ActSaveAsProject", "Save project as...", "Save Project as new file", CtrlAlt('S'),
     "V", Index(SaveAsProject), &TMainForm::ActSaveAsProjectExecute},
    {&TMainForm::ActLoadProject, "ActLoadProject", "&Open project...", "Load Project", Ctrl('O'), "EV",
     Index(LoadProject), &TMainForm::ActLoadProjectExecute},
    {&TMainForm::ActReloadMap, "ActReloadMap", "&Reload World Image", "", scNone, "V", Index(ReloadMap),
     &TMainForm::ActReloadMapExecute},
    {&TMainForm::ActZoomIn, "ActZoomIn", "Zoom In", "Zoom In", scNone, "V", Index(ZoomIn),
     &TMainForm::ActZoomInExecute},
    {&TMainForm::ActZoomFill, "ActZoomFill", "Zoom Fill", "Zoom 100%", scNone, "V", Index(ZoomFill),
     &TMainForm::ActZoomFillExecute},
    {&TMainForm::ActZoomOut, "ActZoomOut", "Zoom Out", "Zoom Out", scNone, "V", Index(ZoomOut),
     &TMainForm::ActZoomOutExecute},
    {&TMainForm::ActFilePanel, "ActFilePanel", "File Panel", "Show/Hide File Panel", scNone, "EC", Index(FilePanel),
     &TMainForm::ActFilePanelExecute},
    {&TMainForm::ActZoomPanel, "ActZoomPanel", "Zoom Panel", "Show/Hide Zoom Panel", scNone, "EC", Index(ZoomPanel),
     &TMainForm::ActZoomPanelExecute},
    {&TMainForm::ActShowPanel, "ActShowPanel", "Show Panel", "Show/Hide Extend Panel", scNone, "EC", Index(ShowPanel),
     &TMainForm::ActShowPanelExecute},
    {&TMainForm::ActShowIcons, "ActShowIcons", "Provinces Mode", "Provinces Mode", VK_F10, "ECV", Index(ShowIcons),
     &TMainForm::ActShowIconsExecute},
    {&TMainForm::ActShowNames, "ActShowNames", "Show Provinces' Names", "Show/Hide Provinces' Names", VK_F8, "EV",
     Index(ShowNames), &TMainForm::ActShowNamesExecute},
    {&TMainForm::ActShowCastles, "ActShowCastles", "Castles Positions Mode", "Castles Positions Mode", VK_F11, "EV",
     Index(ShowCastles), &TMainForm::ActShowCastlesExecute},
    {&TMainForm::ActShowArmies, "ActShowArmies", "Armies Positions Mode", "Armies Positions Mode", VK_F12, "EV",
     Index(ShowArmies), &TMainForm::ActShowArmiesExecute},
    {&TMainForm::ActShowOwnerColor, "ActShowOwnerColor", "Show Owners Colors", "Show/Hide Province's Colors", scNone,
     "EC", Index(ShowOwnerColor), &TMainForm::ActShowOwnerColorExecute},
    {&TMainForm::ActShowNeighbours, "ActShowNeighbours", "Show Walking Paths", "Show campaign army walking paths",
     VK_F7, "EV", Index(ShowNeighbours), &TMainForm::ActShowNeighboursExecute},
    {&TMainForm::ActShowMissRMI, "ActShowMissRMI", "Mission Properties", "Mission Properties", VK_F3, "EV",
     Index(ShowMissRMI), &TMainForm::ActShowMissRMIExecute},
    {&TMainForm::ActShowEventRMI, "ActShowEventRMI", "Events List", "", VK_F4, "E", Index(ShowEventRMI),
     &TMainForm::ActShowEventRMIExecute},
    {&TMainForm::ActShowErrors, "ActShowErrors", "World image warnings", "Show world image warnings", scNone, "V",
     Index(Warning), &TMainForm::ActShowErrorsExecute},
    {&TMainForm::ActShowOptions, "ActShowOptions", "Preferences...", "Show Preferences", scNone, "EV",
     Index(ShowOptions), &TMainForm::ActShowOptionsExecute},
    {&TMainForm::ActShowPreferences, "ActShowPreferences", "Preferences", "Show Preferences", scNone, "", imNone,
     nullptr},
    {&TMainForm::ActExit, "ActExit", "E&xit", "Exit from program", scNone, "EV", Index(Exit),
     &TMainForm::ActExitExecute},
    {&TMainForm::ActSavePDA, "ActSavePDA", "Compile Mission for &PDA...", "Save file in format for PDA", scNone, "V",
     Index(SavePDA), &TMainForm::ActSavePDAExecute},
    {&TMainForm::ActRenProv, "ActRenProv", "Generate Province Name(s)", "Generate name(s) for the selected province(s)",
     scNone, "EV", Index(RenProv), &TMainForm::ActRenProvExecute},
    {&TMainForm::ActAddProvince, "ActAddProvince", "Add New Province", "Add New Province", scNone, "V",
     Index(AddProvince), &TMainForm::ActAddProvinceExecute},
    {&TMainForm::ActDelProvince, "ActDelProvince", "Delete Selected Province(s)", "Delete Selected Province(s)", scNone,
     "V", Index(DelProvince), &TMainForm::ActDelProvinceExecute},
    {&TMainForm::ActAbout, "ActAbout", "About", "", scNone, "EV", Index(About), &TMainForm::ActAboutExecute},
    {&TMainForm::ActRecalcIconPlaces, "ActRecalcIconPlaces", "Recalculate Icons Positions",
     "Recalculate Castle And Army Places", scNone, "EV", Index(RecalcIconPlaces),
     &TMainForm::ActRecalcIconPlacesExecute},
    {&TMainForm::ActGenerateIncome, "ActGenerateIncome", "Generate Income", "Generate Income for selected provinces",
     scNone, "EV", Index(GenerateIncome), &TMainForm::ActGenerateIncomeExecute},
    {&TMainForm::ActResetMapIcons, "ActResetMapIcons", "ActResetMapIcons", "", Ctrl('R'), "EV", imNone, nullptr},
};

void MakeActions(TMainForm& f) {
    f.ActionList = Make<TActionList>(f);
    f.ActionList->SetName("ActionList");
    f.ActionList->SetImages(f.ImageList);
    for (const ActionSpec& spec : kActions) {
        TAction* action = Make<TAction>(f);
        action->SetName(spec.name);
        action->SetCaption(spec.caption);
        action->SetHint(spec.hint);
        action->SetShortCut(spec.shortCut);
        action->SetEnabled(Has(spec.state, 'E'));
        action->SetChecked(Has(spec.state, 'C'));
        action->SetVisible(Has(spec.state, 'V'));
        action->SetImageIndex(spec.image);
        if (spec.handler) {
            auto handler = spec.handler;
            action->OnExecute = [&f, handler](TObject* sender) { (f.*handler)(sender); };
        }
        action->SetActionList(f.ActionList);
        f.*spec.field = action;
    }
}

// A menu entry: an action, a separator (null action) or a hidden separator.
struct MenuEntry {
    TAction* action = nullptr;
    bool hidden = false;
};

TMenuItem* AddMenu(TMainForm& f, const char* name, const char* caption, std::initializer_list<MenuEntry> entries) {
    TMenuItem* menu = Make<TMenuItem>(f);
    menu->SetName(name);
    menu->SetCaption(caption);
    f.MainMenu->GetItems()->Add(menu);
    for (const MenuEntry& entry : entries) {
        TMenuItem* item = Make<TMenuItem>(f);
        if (entry.action) {
            item->SetAction(entry.action);
        } else {
            item->SetCaption("-");
            item->SetVisible(!entry.hidden);
        }
        menu->Add(item);
    }
    return menu;
}

void MakeMenus(TMainForm& f) {
    f.MainMenu = Make<TMainMenu>(f);
    f.MainMenu->SetName("MainMenu");
    f.MainMenu->SetImages(f.ImageList);
    const MenuEntry separator{};
    const MenuEntry hiddenSeparator{nullptr, true};
    f.MnuFile = AddMenu(f, "MnuFile", "&File",
                        {{f.ActNewProject},
                         {f.ActLoadProject},
                         {f.ActSaveProject},
                         {f.ActSaveAsProject},
                         {f.ActSavePDA},
                         separator,
                         {f.ActReloadMap},
                         separator,
                         {f.ActExit}});
    // Only the menu item has a shortcut for compiling.
    f.MnuFile->GetItem(4)->SetShortCut(CtrlAlt('C'));
    f.MnuView = AddMenu(f, "MnuView", "&View",
                        {{f.ActZoomIn},
                         {f.ActZoomFill},
                         {f.ActZoomOut},
                         hiddenSeparator,
                         {f.ActFilePanel},
                         {f.ActZoomPanel},
                         {f.ActShowPanel},
                         separator,
                         {f.ActShowMissRMI},
                         {f.ActShowEventRMI},
                         separator,
                         {f.ActShowOwnerColor},
                         {f.ActShowNeighbours},
                         {f.ActShowNames},
                         separator,
                         {f.ActShowIcons},
                         {f.ActShowCastles},
                         {f.ActShowArmies},
                         {f.ActRecalcIconPlaces}});
    f.MnuTools = AddMenu(f, "MnuTools", "&Tools",
                         {hiddenSeparator, {f.ActShowPreferences}, {f.ActShowErrors}, {f.ActShowOptions}});
    f.MnuHelp = AddMenu(f, "MnuHelp", "&Help", {{f.ActAbout}});
    f.SetMenu(f.MainMenu);
}

}  // namespace

void BuildMainActions(TMainForm& f) {
    f.ImageList = Make<TImageList>(f, 20, 20);
    f.ImageList->SetName("ImageList");
    MakeActions(f);
    MakeMenus(f);
}

}  // namespace thorn
