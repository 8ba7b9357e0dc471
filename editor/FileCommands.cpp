// The main window's file commands: new project from a world picture, open,
// save, save as, compile for the handheld and reload the world picture
// (the handlers are TMainForm's, declared in editor/Main.h).
#include "editor/FileCommands.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "bitmapui/Pix32_Layers.h"
#include "editor/EditorWindows.h"
#include "editor/Eventsframe.h"
#include "editor/Main.h"
#include "editor/MissionInspector.h"
#include "editor/Missionframe.h"
#include "editor/PlayersList.h"
#include "editor/SelectionInfo.h"
#include "export/ExportDriver.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/ExtDlgs.h"
#include "gui/FileListView.h"
#include "platform/Pictures.h"

namespace thorn {

namespace {

constexpr const char* kPictureFilter =
    "Bitmaps (*.bmp)|*.bmp|All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf";
constexpr const char* kProjectFilter = "Plotwright file (*.pw)|*.pw";
constexpr const char* kBitmapFilter = "Bitmap file (*.bmp)|*.bmp";
constexpr const char* kPdaFilter = "PDA file (*.pdb+*.pak)|*.*";
constexpr std::string_view kProjectExtension = ".pw";

constexpr const char* kPictureNotSupported = "Cannot import picture\nFormat is not supported.";
constexpr const char* kPictureRefused = "Cannot import picture\n";
constexpr const char* kLoadFailed = "Error while load project";
constexpr const char* kSaveFailed = "Error processed during save";
constexpr const char* kReservedName =
    "\"Scenario01.*\" is a reserved name!\r\nPlease, choose another name for your mission.";
constexpr const char* kReloadWarning =
    "Mission's data may be lost after reloading of the world map\r\n(you can save your project, to be able to "
    "reload it if anything goes wrong).\r\nDo you want to continue?";

const TOpenOptions kOpenOptions{ofHideReadOnly, ofEnableSizing, ofPathMustExist, ofFileMustExist};
// Save As and Compile ask about replacing files themselves, once the names
// of what they write are final: the name typed is not the file written.
const TOpenOptions kSaveOptions{ofHideReadOnly, ofEnableSizing, ofPathMustExist};

void ShowWorldSize(TMainForm& f) {
    f.StatusBar->Panels()[kWorldSizePanel]->SetText(WorldSizeText(MapProject->WorldWidth, MapProject->WorldHeight));
}

// A New or Open that failed: the window shows no project. What the failure
// left of the project is empty, so nothing is left to save either (a save
// question answered Yes could not save it: its commands are disabled).
void ShowNoProject(TMainForm& f) {
    MapProject->EnableProjectUI(0);
    MapProject->Modified = 0;
    ClearSelectionInfo();
    // The point under the pointer, the zoom and the world's size: no world.
    for (int panel : {kCoordsPanel, kZoomPanel, kWorldSizePanel}) f.StatusBar->Panels()[panel]->SetText({});
}

// A new or opened mission brings its walking-paths overlay shown; it shows
// only while its command is ticked, as the menu and the settings say.
void ShowWalkingPathsAsTicked(TMainForm& f) {
    if (TBitmapLayer* paths = MapProject->NeighbourLinksLayer()) {
        paths->SetVisible(f.ActShowNeighbours->GetChecked());
        MapProject->DrawNeighbourLinks();
    }
}

// The chosen world picture read and checked, before anything of the open
// project changes. New and Reload World Image both read it here, so they
// refuse the same pictures and say the same why: a file that cannot be read
// or is no picture names its fault under the usual line, and what the
// project refuses itself (memory, regions) its error box has said. None
// when refused.
std::optional<WorldPicture> ReadChosenWorld(TMainForm& f, const std::filesystem::path& file) {
    try {
        return MapProject->ReadWorldPicture(file);
    } catch (const EUnknownPictureFormat&) {
        f.Error(kPictureNotSupported);
    } catch (const EInvalidGraphic& e) {
        f.Error(std::string(kPictureRefused) + e.what());
    } catch (const EStreamError& e) {
        f.Error(std::string(kPictureRefused) + e.what());
    }
    return std::nullopt;
}

// The New command's import: the picture, read and accepted already, becomes
// the world of a new mission. Answers whether the mission was made; the
// project is empty otherwise.
bool ImportNewWorld(TMainForm& f, WorldPicture world) {
    CMapProject& project = *MapProject;
    project.EnableProjectUI(0);
    f.ImgVWorld->GetBitmap()->Clear(Settings->BackgroundColor);
    project.Reset();
    f.LVProvinces->GetItems()->Clear();
    Application->ProcessMessages();
    if (project.ImportWorldPicture(std::move(world), 0) == 0) return false;

    ShowWorldSize(f);
    if (project.NewMissionFromImage() == 0) return false;
    f.ImgVWorld->SetScale(2.0f);
    project.FitWorldImage();
    project.SetZoom(2.0f);
    ShowWalkingPathsAsTicked(f);
    Application->ProcessMessages();
    // The first two players take part in a new mission; that is no change
    // of the designer's.
    for (uint32_t i : {0u, 1u})
        if (CPlayerData* player = project.PlayerAt(i)) player->Active = 1;
    if (MissFrame) MissFrame->FillMissionInspector();
    UpdateMissionInspector(project);
    FillPlayersList();
    project.EnableProjectUI(1);
    project.Modified = 0;
    if (Settings->AutoShowErr != 0) f.ActShowErrors->Execute();
    f.PgCMissionProperties->SetActivePageIndex(1);
    // Shown by the program, the page is switched to as a click switches
    // it: else the province grid would not follow the selection after the
    // players page was the last one shown.
    f.PgCMissionPropertiesChange(&f);
    f.BtnActShowErrors->SetEnabled(true);
    return true;
}

std::string QuotedFile(const std::filesystem::path& file) {
    std::string quoted(1, '"');
    quoted += FileListView::DisplayName(file.string());
    quoted += '"';
    return quoted;
}

bool Stands(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::symlink_status(file, error).type() != std::filesystem::file_type::not_found;
}

// Asks once about the files of those that stand already; answers whether
// they may be replaced (with none there, nothing is asked).
bool MayReplace(std::span<const std::filesystem::path> files) {
    std::string named;
    int standing = 0;
    for (const std::filesystem::path& file : files) {
        if (!Stands(file)) continue;
        if (standing++ > 0) named += " and ";
        named += QuotedFile(file);
    }
    if (standing == 0) return true;
    const std::string question = standing == 1 ? " already exists.\nDo you want to replace it?"
                                               : " already exist.\nDo you want to replace them?";
    return Application->MessageBox(named + question, "Save As", MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Saves the project to path; a failure is shown with the file and the
// system's reason under the usual line. Answers whether it was saved.
bool SaveProjectTo(TMainForm& f, const std::filesystem::path& path) {
    std::string failure;
    if (MapProject->SaveProject(path, failure) != 0) return true;
    f.Error(std::string(kSaveFailed) + "\n" + failure);
    return false;
}

}  // namespace

bool ChangesSettled(TMainForm& f) {
    switch (MapProject->AskSaveChanges()) {
        case CMapProject::StayPut: return false;
        case CMapProject::SaveFirst:
            f.ActSaveProject->Execute();
            return MapProject->Modified == 0;
        case CMapProject::GoOnUnsaved: break;
    }
    return true;
}

std::string ProjectFileName(std::string_view chosen) {
    if (chosen.size() > kProjectExtension.size() && chosen.ends_with(kProjectExtension))
        chosen.remove_suffix(kProjectExtension.size());
    std::string name(chosen);
    name += kProjectExtension;
    return name;
}

bool IsReservedMissionName(const std::filesystem::path& chosen) {
    std::string stem = chosen.stem().string();
    std::transform(stem.begin(), stem.end(), stem.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return stem == "scenario01";
}

std::string WorldSizeText(int width, int height) {
    std::string text = "[";
    text += std::to_string(width);
    text += ':';
    text += std::to_string(height);
    text += ']';
    return text;
}

void BuildFileDialogs(TMainForm& f) {
    f.OpenPictureDialog = Make<TOpenPictureDialog>(f);
    f.OpenPictureDialog->SetName("OpenPictureDialog");
    f.OpenPictureDialog->SetFilter(kPictureFilter);
    f.OpenPictureDialog->SetOptions(kOpenOptions);
    f.OpenDialog = Make<TOpenDialog>(f);
    f.OpenDialog->SetName("OpenDialog");
    f.OpenDialog->SetFilter(kProjectFilter);
    f.OpenDialog->SetOptions(kOpenOptions);
    f.SaveDialog = Make<TSaveDialog>(f);
    f.SaveDialog->SetName("SaveDialog");
    f.SaveDialog->SetFilter(kProjectFilter);
    f.SaveDialog->SetOptions(kSaveOptions);
}

}  // namespace thorn

using thorn::ChangesSettled;

void TMainForm::ActNewProjectExecute(TObject* sender) {
    if (!MapProject || !ChangesSettled(*this)) return;
    bool chosen = false;
    try {
        chosen = OpenPictureDialog->Execute();
    } catch (const Exception&) {
        Error(thorn::kPictureNotSupported);
        return;
    }
    // Whatever way the import ends, its progress window goes.
    const ProgressScope progress(*MapProject);
    if (!chosen) return;
    // A picture refused leaves the open project as it was.
    std::optional<thorn::WorldPicture> world = thorn::ReadChosenWorld(*this, OpenPictureDialog->GetFileName());
    if (!world) return;
    try {
        if (!thorn::ImportNewWorld(*this, std::move(*world))) thorn::ShowNoProject(*this);
    } catch (...) {
        thorn::ShowNoProject(*this);
        Application->HandleException(this);
    }
}

void TMainForm::ActLoadProjectExecute(TObject* sender) {
    if (!MapProject || !ChangesSettled(*this)) return;
    OpenDialog->SetFilter(thorn::kProjectFilter);
    OpenDialog->SetDefaultExt("pw");
    OpenDialog->SetOptions(thorn::kOpenOptions);
    if (!OpenDialog->Execute()) return;

    CMapProject& project = *MapProject;
    const ProgressScope progress(project);
    project.Reset();
    project.NewMissionFromImage();
    if (project.LoadProject(OpenDialog->GetFileName()) == 0) {
        thorn::ShowNoProject(*this);
        Error(thorn::kLoadFailed);
        return;
    }
    thorn::ShowWorldSize(*this);
    ImgVWorld->SetScale(2.0f);
    project.SetZoom(2.0f);
    project.FitWorldImage();
    // The load has painted every piece and drawn the world already.
    thorn::ShowWalkingPathsAsTicked(*this);
    if (MissFrame) MissFrame->FillMissionInspector();
    FillPlayersList();
    if (EventFrame) EventFrame->FillEventsList();
    Windows().ClearSelection();
    UpdateMissionInspector(project);
    project.EnableProjectUI(1);
    project.Modified = 0;
    PgCMissionProperties->SetActivePageIndex(1);
    PgCMissionPropertiesChange(this);
    // A project read from its file has no world-image warnings.
    BtnActShowErrors->SetEnabled(false);
}

void TMainForm::ActSaveProjectExecute(TObject* sender) {
    if (!MapProject) return;
    if (MapProject->FileName.empty()) {
        ActSaveAsProject->Execute();
        return;
    }
    thorn::SaveProjectTo(*this, MapProject->FileName);
}

void TMainForm::ActSaveAsProjectExecute(TObject* sender) {
    if (!MapProject) return;
    SaveDialog->SetFilter(thorn::kProjectFilter);
    SaveDialog->SetDefaultExt("pw");
    SaveDialog->SetOptions(thorn::kSaveOptions);
    std::filesystem::path path;
    do {
        if (!SaveDialog->Execute()) return;
        path = thorn::ProjectFileName(SaveDialog->GetFileName());
    } while (!thorn::MayReplace(std::span(&path, 1)));
    if (!thorn::SaveProjectTo(*this, path)) return;
    MapProject->FileName = path.string();
}

void TMainForm::ActSavePDAExecute(TObject* sender) {
    if (!MapProject) return;
    if (const std::string reason = MapProject->ValidateMission(); !reason.empty()) {
        Application->MessageBox("You can't save mission because " + reason, "Error", MB_OK);
        return;
    }
    SaveDialog->SetFilter(thorn::kPdaFilter);
    SaveDialog->SetDefaultExt("");
    SaveDialog->SetOptions(thorn::kSaveOptions);
    for (;;) {
        if (!SaveDialog->Execute()) return;
        const std::string chosen = SaveDialog->GetFileName();
        if (thorn::IsReservedMissionName(chosen)) {
            Application->MessageBox(thorn::kReservedName, {}, MB_OK | MB_ICONWARNING);
            continue;
        }
        // The pair the export writes, not the name typed, is what it
        // replaces.
        if (thorn::MayReplace(thorn::MissionPackageFiles(chosen))) break;
    }
    MapProject->ExportMission(SaveDialog->GetFileName());
}

void TMainForm::ActReloadMapExecute(TObject* sender) {
    if (!MapProject) return;
    if (Application->MessageBox(thorn::kReloadWarning, {}, MB_YESNO | MB_ICONWARNING) != IDYES) return;
    if (!ChangesSettled(*this)) return;
    OpenDialog->SetFilter(thorn::kBitmapFilter);
    OpenDialog->SetDefaultExt("bmp");
    OpenDialog->SetOptions(thorn::kOpenOptions);
    if (!OpenDialog->Execute()) return;

    CMapProject& project = *MapProject;
    const ProgressScope progress(project);
    // A picture refused leaves the project as it was, its selection too.
    std::optional<thorn::WorldPicture> world = thorn::ReadChosenWorld(*this, OpenDialog->GetFileName());
    if (!world) return;
    Windows().StopProvinceBlink();
    Windows().ClearSelection();
    try {
        // A cut stopped half-way leaves the project reset, nothing to show.
        if (project.ImportWorldPicture(std::move(*world), 1) == 0) {
            thorn::ShowNoProject(*this);
            return;
        }
    } catch (...) {
        thorn::ShowNoProject(*this);
        Application->HandleException(this);
        return;
    }
    project.RebindProvinces();
    // The mission now lies on another world: closing without saving would
    // lose that.
    project.MarkModified();
    project.FitWorldImage();
    PgCMissionPropertiesChange(this);
    if (Settings->AutoShowErr != 0) ActShowErrors->Execute();
    BtnActShowErrors->SetEnabled(true);
    thorn::ShowWorldSize(*this);
}
