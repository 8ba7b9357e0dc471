#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "EditorSession.h"
#include "MainCommands.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_slide.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "platform/Files.h"
#include "support/FileCalls.h"
#include "support/FileSizeLimit.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using thorn::test::ChooseMenuItem;
using thorn::test::ReadFileBytes;

constexpr const char* kSaveQuestion = "You have made changes in project. Would you like to save your changes?";
constexpr const char* kTooManyRegions = "more than 1501 regions";
constexpr const char* kReloadWarning =
    "Mission's data may be lost after reloading of the world map\r\n(you can save your project, to be able to "
    "reload it if anything goes wrong).\r\nDo you want to continue?";
constexpr const char* kResizeQuestion = "Map image has wrong size (less than 160x160). Resize?";

// Pictures of more regions than a map holds: noise, and the flat world
// small_isles.bmp saved as a JPEG, whose compression blurs every edge.
fs::path NoisyPicture(const thorn::test::EditorSession& editor) {
    TBitmap32 noise;
    noise.SetSize(200, 200);
    std::mt19937 random(45);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) noise.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFFu));
    thorn::test::WriteBmp24(editor / "noise.bmp", noise);
    return editor / "noise.bmp";
}
fs::path IslesAsJpeg(const thorn::test::EditorSession& editor) {
    TBitmap32 isles;
    isles.LoadFromFile(editor / "worlds/small_isles.bmp");
    thorn::test::WriteJpeg(editor / "isles.jpg", isles, 92);
    return editor / "isles.jpg";
}

// A BMP of the size whose run-length coded pixels end at once, the rest
// left black: a few bytes however large the picture.
std::vector<uint8_t> EndedRleBmp(int32_t width, int32_t height) {
    return thorn::test::BmpFile(
        {.width = width, .height = height, .bitCount = 8, .compression = 1, .palette = {0}, .pixels = {0, 1}});
}

// A PNG of one transparent pixel, as Python's zlib and struct wrote it.
constexpr uint8_t kOnePixelPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
    0x00, 0x00, 0x0B, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x60, 0x00, 0x02, 0x00, 0x00, 0x05, 0x00,
    0x01, 0x7A, 0x5E, 0xAB, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

// The editor started in a copy of the start folder; the commands are
// chosen from the menus and their dialogs answered from the host's script.
class FileCommands : public ::testing::Test {
protected:
    ~FileCommands() override { CloseWithoutSaving(); }

    void Choose(const char* menu, const char* item) { ChooseMenuItem(host, main, menu, item); }
    // New project, the picture typed into its dialog.
    void New(const fs::path& picture) {
        host.AnswerFileDialog(picture.string(), "Open");
        Choose("File", "New project");
    }
    void SaveAs(const std::string& name) {
        host.AnswerFileDialog(name, "Save As");
        Choose("File", "Save project as...");
    }
    void Open(const fs::path& project) {
        host.AnswerFileDialog(project.string(), "Open");
        Choose("File", "Open project...");
    }
    bool ProjectShown() const {
        return !main.LblNoProject->GetVisible() && main.ActSaveProject->GetEnabled() && main.ImgVWorld->GetVisible();
    }
    void CloseWithoutSaving() {
        if (!MainForm) return;
        if (MapProject && MapProject->Modified) host.AnswerMessageBox(IDNO, kSaveQuestion);
        editor.Close();
    }
    std::string Panel(int n) const { return main.StatusBar->Panels()[n]->GetText(); }
    void ClickOn(const TControl& control, TPoint at) {
        const TPoint screen = control.ClientToScreen(at);
        host.Click(main, screen.X - main.GetLeft(), screen.Y - main.GetTop());
    }
    // The provinces page shown and its first province chosen, so that the
    // summary under the page counts it; the zoom chosen from the menu.
    void ChooseFirstProvinceAndZoom() {
        const TRect tab = main.PgCMissionProperties->TabRect(1);
        ClickOn(*main.PgCMissionProperties, {(tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2});
        const TRect row = main.LVProvinces->GetItems()->GetItem(0)->DisplayRect();
        ClickOn(*main.LVProvinces, {row.Left + 20, (row.Top + row.Bottom) / 2});
        Choose("View", "Zoom Fill");
    }
    // The players list's check marks, "+" for a ticked row.
    std::string PlayerTicks() const {
        std::string ticks;
        TListItems& rows = *main.LVPlayers->GetItems();
        for (int i = 0; i < rows.GetCount(); ++i) ticks += rows[i]->GetChecked() ? '+' : '-';
        return ticks;
    }

    thorn::test::EditorSession editor;
    thorn::HeadlessHost& host = editor.Host();
    TMainForm& main = (editor.Start(), editor.Main());
};

TEST_F(FileCommands, NewMakesAMissionOfThePictureChosenAndShowsIt) {
    const fs::path picture = editor / "worlds/small_isles.bmp";
    TBitmap32 world;
    world.LoadFromFile(picture);
    // Changes not to be saved are not the new mission's.
    MapProject->MarkModified();
    host.AnswerMessageBox(IDNO, kSaveQuestion);
    New(picture);
    CMapProject& project = *MapProject;
    EXPECT_TRUE(ProjectShown());
    EXPECT_EQ(Panel(3), "[" + std::to_string(world.Width()) + ":" + std::to_string(world.Height()) + "]");
    EXPECT_EQ(Panel(1), "200%");
    EXPECT_EQ(main.LVProvinces->GetItems()->GetCount(), project.Provinces.GetCount());
    EXPECT_GT(project.Provinces.GetCount(), 2);
    EXPECT_EQ(main.PgCMissionProperties->GetActivePageIndex(), 1);
    EXPECT_EQ(PlayerTicks(), "++----");
    EXPECT_GT(MissFrame->RMIMission->GetItems().GetCount(), 0);
    // The start folder's settings open the warnings by themselves.
    EXPECT_TRUE(host.IsWindowVisible(*DlgError.Get()));
    EXPECT_TRUE(main.BtnActShowErrors->GetEnabled());
    EXPECT_EQ(project.Modified, 0u);
    EXPECT_TRUE(project.FileName.empty());
}

TEST_F(FileCommands, ANewThatFailsLeavesNoProjectAndACancelledOneTheProjectAsItWas) {
    struct Case {
        const char* name;
        std::function<void()> answers;
        bool projectLeft;
    };
    // A picture of the catalogue gone since the start: the mission cannot
    // be built on the world the picture made.
    const fs::path village = editor / "res/castles/village.bmp";
    const Case cases[] = {
        {"cancelled", [&] { host.CancelDialog("Open"); }, true},
        {"a catalogue picture gone",
         [&] {
             fs::rename(village, editor / "village.bmp");
             host.AnswerFileDialog((editor / "worlds/small_isles.bmp").string());
             host.AnswerMessageBox(IDOK, "village.bmp");
         },
         false},
    };
    // Each time the changes made are not to be saved: a project left is
    // still changed, an empty one has nothing to save.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        editor.NewMission("small_isles.bmp");
        const int provinces = MapProject->Provinces.GetCount();
        const int warnings = MapProject->ErrorList.GetCount();
        ChooseFirstProvinceAndZoom();
        const std::string summary = main.LblSelProvSummary->GetCaption();
        ASSERT_FALSE(summary.empty());
        MapProject->MarkModified();
        host.AnswerMessageBox(IDNO, kSaveQuestion);
        c.answers();
        Choose("File", "New project");
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(ProjectShown(), c.projectLeft);
        EXPECT_EQ(MapProject->Provinces.GetCount(), c.projectLeft ? provinces : 0);
        EXPECT_EQ(MapProject->ErrorList.GetCount(), c.projectLeft ? warnings : 0);
        EXPECT_EQ(main.LblNoProject->GetVisible(), !c.projectLeft);
        // Without a project nothing is summed or zoomed.
        EXPECT_EQ(main.LblSelProvSummary->GetCaption(), c.projectLeft ? summary : "");
        EXPECT_EQ(main.LblDomainIncome->GetCaption().empty(), !c.projectLeft);
        EXPECT_EQ(Panel(1), c.projectLeft ? "100%" : "");
        EXPECT_EQ(MapProject->Modified, c.projectLeft ? 1u : 0u);
        EXPECT_FALSE(FormSlide->GetVisible());
        EXPECT_TRUE(main.GetEnabled());
    }
    // After the last, Exit closes the editor without asking to save.
    Choose("File", "Exit");
    EXPECT_EQ(MapProject, nullptr);
}

// A picture refused, for whatever reason, is refused before anything of the
// open project changes, by New and by Reload World Image alike, and both
// say the same about it.
TEST_F(FileCommands, APictureRefusedLeavesTheOpenProjectAsItWasAndBothCommandsNameTheReason) {
    const std::vector<uint8_t> world = ReadFileBytes(editor / "worlds/small_isles.bmp");
    TBitmap32 small;
    small.SetSize(100, 100);
    small.Clear(0xFF0000FF);
    struct Case {
        const char* name;
        fs::path picture;
        std::optional<std::vector<uint8_t>> bytes;  // written to the picture; none: made already
        const char* shown;  // in the box that refuses the picture
        int answer = IDOK;
    };
    const Case cases[] = {
        {"too wide", editor / "wide.bmp", EndedRleBmp(32641, 160),
         "Cannot import picture\nThe bitmap picture is too large (32641 x 160 pixels): a side may be at most 32640"},
        {"too tall", editor / "tall.bmp", EndedRleBmp(160, 32641),
         "Cannot import picture\nThe bitmap picture is too large (160 x 32641 pixels): a side may be at most 32640"},
        {"more pixels than memory is given for", editor / "vast.bmp", EndedRleBmp(16384, 16384),
         "Cannot import picture\nThe bitmap picture is too large (16384 x 16384 pixels): it may hold at most"},
        {"a header cut short", editor / "broken.bmp", std::vector<uint8_t>{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8},
         "Cannot import picture\nThe file is not a BMP picture (\""},
        {"truncated", editor / "half.bmp", std::vector(world.begin(), world.begin() + world.size() / 2),
         "Cannot import picture\nThe bitmap is truncated"},
        {"zero bytes", editor / "empty.bmp", std::vector<uint8_t>{},
         "Cannot import picture\nThe picture file is empty"},
        {"PNG bytes named .bmp", editor / "png.bmp", std::vector(std::begin(kOnePixelPng), std::end(kOnePixelPng)),
         "Cannot import picture\nPNG pictures are not supported"},
        {"content of no known format", editor / "text.bmp", std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0},
         "Cannot import picture\nFormat is not supported."},
        {"noise: too many regions", NoisyPicture(editor), std::nullopt, kTooManyRegions},
        {"a flat world saved as JPEG: too many regions", IslesAsJpeg(editor), std::nullopt, kTooManyRegions},
        {"a small picture not to be enlarged", editor / "small.bmp", thorn::test::Bmp24File(small), kResizeQuestion,
         IDCANCEL},
    };
    Settings->AutoResize = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bytes) thorn::test::WriteFileBytes(c.picture, *c.bytes);
        std::string said[2];
        for (int reload : {0, 1}) {
            SCOPED_TRACE(reload ? "Reload World Image" : "New project");
            // An open project with a change not saved and a province chosen.
            editor.NewMission("small_isles.bmp");
            ChooseFirstProvinceAndZoom();
            ASSERT_EQ(MapProject->Tables.GetAt(0)->SetMissionName("Changed"), 1);
            const std::vector<uint8_t> saved = MapProject->ProjectBytes();
            const std::string title = host.WindowOf(main)->Caption();
            const std::string size = Panel(3);
            const std::string selected = main.LblSelProvSummary->GetCaption();

            if (reload) host.AnswerMessageBox(IDYES, kReloadWarning);
            host.AnswerMessageBox(IDNO, kSaveQuestion);
            host.AnswerFileDialog(c.picture.string(), "Open");
            host.AnswerMessageBox(c.answer);
            Choose("File", reload ? "Reload World Image" : "New project");
            EXPECT_EQ(host.PendingScripts(), 0u);
            said[reload] = host.ShownDialogs().back();
            EXPECT_NE(said[reload].find(c.shown), std::string::npos) << said[reload];
            EXPECT_TRUE(MapProject->ProjectBytes() == saved);
            EXPECT_EQ(MapProject->Modified, 1u);
            EXPECT_EQ(host.WindowOf(main)->Caption(), title);
            EXPECT_TRUE(ProjectShown());
            EXPECT_EQ(Panel(3), size);
            EXPECT_EQ(main.LblSelProvSummary->GetCaption(), selected);
            EXPECT_FALSE(FormSlide->GetVisible());
        }
        EXPECT_EQ(said[0], said[1]);
    }
}

TEST_F(FileCommands, TheSaveQuestionLetsACommandGoOnOnlyWhenNothingIsLost) {
    // Answered Yes with a name to save under, the project is saved first.
    editor.NewMission("small_isles.bmp");
    SaveAs((editor / "named.pw").string());
    ASSERT_EQ(MapProject->FileName, (editor / "named.pw").string());
    struct Case {
        const char* name;
        const char* command;
        bool named;
        std::function<void()> answers;  // after the question: the command went on
        int answer;
    };
    const auto cancelOpen = [&] { host.CancelDialog("Open"); };
    const Case cases[] = {
        {"New, Cancel", "New project", false, nullptr, IDCANCEL},
        {"New, No", "New project", false, cancelOpen, IDNO},
        {"New, Yes with a name", "New project", true, cancelOpen, IDYES},
        // The Save As dialog cancelled: the changes are not saved, so the
        // command does not go on to lose them.
        {"New, Yes without a name", "New project", false, [&] { host.CancelDialog("Save As"); }, IDYES},
        {"Open, Cancel", "Open project...", false, nullptr, IDCANCEL},
        {"Open, Yes with a name", "Open project...", true, cancelOpen, IDYES},
        {"Reload, No", "Reload World Image", false, cancelOpen, IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MapProject->FileName = c.named ? (editor / "named.pw").string() : "";
        fs::remove(editor / "named.pw");
        MapProject->MarkModified();
        const size_t shown = host.ShownDialogs().size();
        const bool reload = std::string(c.command) == "Reload World Image";
        if (reload) host.AnswerMessageBox(IDYES, "Mission's data may be lost after reloading of the world map");
        host.AnswerMessageBox(c.answer, kSaveQuestion);
        if (c.answers) c.answers();
        Choose("File", c.command);
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(host.ShownDialogs().size(), shown + (reload ? 2 : 1) + (c.answers ? 1 : 0));
        EXPECT_EQ(fs::exists(editor / "named.pw"), c.answer == IDYES && c.named);
        EXPECT_EQ(MapProject->Modified, c.answer == IDYES && c.named ? 0u : 1u);
        EXPECT_TRUE(ProjectShown());
    }
}

TEST_F(FileCommands, SaveAsNamesTheFileByItsRulesAndSaveWritesThereAfterwards) {
    editor.NewMission("small_isles.bmp");
    fs::create_directory(editor / "saved");
    const std::pair<const char*, const char*> cases[] = {
        {"a.pw", "a.pw"}, {"b", "b.pw"}, {"c.PW", "c.PW.pw"}, {".pw", ".pw.pw"}, {"d.txt", "d.txt.pw"}};
    for (const auto& [typed, written] : cases) {
        SCOPED_TRACE(typed);
        MapProject->MarkModified();
        SaveAs((editor / "saved" / typed).string());
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(MapProject->FileName, (editor / "saved" / written).string());
        EXPECT_TRUE(fs::exists(editor / "saved" / written));
        EXPECT_EQ(MapProject->Modified, 0u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(editor / "saved"), fs::directory_iterator()), 5);

    // Save writes the file Save As named, without asking.
    const fs::path last = editor / "saved/d.txt.pw";
    fs::remove(last);
    MapProject->MarkModified();
    host.PressKey('S', {ssCtrl});
    EXPECT_TRUE(fs::exists(last));
    EXPECT_EQ(MapProject->Modified, 0u);
}

TEST_F(FileCommands, SaveAsAsksAboutReplacingTheFileItWillWrite) {
    editor.NewMission("small_isles.bmp");
    thorn::test::WriteFileBytes(editor / "kept.pw", std::vector<uint8_t>{'o', 'l', 'd'});
    // Typed without its extension, the name still meets the file.
    host.AnswerFileDialog((editor / "kept").string(), "Save As");
    host.AnswerMessageBox(IDNO, "kept.pw\" already exists.");
    host.CancelDialog("Save As");
    Choose("File", "Save project as...");
    EXPECT_EQ(ReadFileBytes(editor / "kept.pw"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(MapProject->FileName.empty());

    // The name kept.PW gives kept.PW.pw, which is new: nothing to ask.
    SaveAs((editor / "kept.PW").string());
    EXPECT_EQ(host.PendingScripts(), 0u);
    EXPECT_EQ(MapProject->FileName, (editor / "kept.PW.pw").string());
    EXPECT_EQ(ReadFileBytes(editor / "kept.pw"), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

TEST_F(FileCommands, ASaveThatFailsIsShownAndLosesNothing) {
    editor.NewMission("small_isles.bmp");
    SaveAs((editor / "first.pw").string());
    const std::vector<uint8_t> saved = ReadFileBytes(editor / "first.pw");
    // The disk full: neither file can be written.
    const thorn::test::FileSizeLimit diskFull(1);
    MapProject->MarkModified();
    struct Case {
        const char* name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"Save As",
         [&] {
             host.AnswerFileDialog((editor / "second.pw").string(), "Save As");
             host.AnswerMessageBox(IDOK, "Error processed during save");
             Choose("File", "Save project as...");
         }},
        {"Save",
         [&] {
             host.AnswerMessageBox(IDOK, "Error processed during save");
             host.PressKey('S', {ssCtrl});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.run();
        EXPECT_EQ(host.PendingScripts(), 0u);
        // The line under the usual one names the file and the reason.
        const fs::path written = editor / (std::string_view(c.name) == "Save As" ? "second.pw" : "first.pw");
        EXPECT_EQ(host.ShownDialogs().back(), "Error processed during save\nCannot write file \"" + written.string() +
                                                  "\": " + std::strerror(EFBIG));
        EXPECT_EQ(MapProject->FileName, (editor / "first.pw").string());
        EXPECT_EQ(MapProject->Modified, 1u);
        EXPECT_EQ(ReadFileBytes(editor / "first.pw"), saved);
        EXPECT_FALSE(fs::exists(editor / "second.pw"));
    }
}

// Save keeps what the project file is: its permissions, the link it is
// reached through (the project behind the link is the one written); a file
// the designer may not write is refused, says so and stays as it was. A
// folder the designer may write in but not list takes the file all the same.
TEST_F(FileCommands, SaveKeepsWhatTheProjectFileIs) {
    editor.NewMission("small_isles.bmp");
    const fs::path file = editor / "first.pw";
    const fs::path elsewhere = editor / "elsewhere.pw";
    SaveAs(file.string());
    std::optional<thorn::test::UnlistableFolder> unlistable;
    struct Case {
        const char* name;
        std::function<void()> prepare;
        fs::path written;  // empty: refused
        fs::perms perms;
    };
    using enum fs::perms;
    const Case cases[] = {
        {"a file only its owner reads and writes", [&] { fs::permissions(file, owner_read | owner_write); }, file,
         owner_read | owner_write},
        {"a folder that cannot be listed", [&] { unlistable.emplace(file.parent_path()); }, file,
         owner_read | owner_write},
        {"a link to the project elsewhere",
         [&] {
             fs::rename(file, elsewhere);
             fs::create_symlink(elsewhere.filename(), file);
         },
         elsewhere, owner_read | owner_write},
        {"a file no one may write",
         [&] {
             fs::remove(file);
             thorn::test::WriteFileBytes(file, std::vector<uint8_t>{'o', 'l', 'd'});
             fs::permissions(file, owner_read | group_read | others_read);
         },
         {}, owner_read | group_read | others_read},
    };
    int changes = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.prepare();
        const fs::path target = thorn::FollowLinks(file);
        if (!c.written.empty()) {
            EXPECT_EQ(target, c.written);
        }
        const std::vector<uint8_t> before = ReadFileBytes(target);
        const bool link = fs::is_symlink(file);
        ASSERT_EQ(MapProject->Tables.GetAt(0)->SetMissionName("Change " + std::to_string(++changes)), 1);
        if (c.written.empty())
            host.AnswerMessageBox(IDOK, "Error processed during save\nCannot write file \"" + target.string() + "\": " +
                                            std::strerror(EACCES));
        host.PressKey('S', {ssCtrl});
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(fs::is_symlink(file), link);
        EXPECT_EQ(fs::status(target).permissions(), c.perms);
        EXPECT_EQ(ReadFileBytes(target) == before, c.written.empty());
        EXPECT_EQ(MapProject->Modified, c.written.empty() ? 1u : 0u);
        unlistable.reset();
    }
}

TEST_F(FileCommands, OpenReadsTheProjectWithItsEventsAndClearsTheModifiedFlag) {
    editor.NewMission("twin_kingdoms.bmp");
    MapProject->Players[3].SetActive(1);
    MapProject->Events.AddEvent();
    MapProject->Events.AddEvent();
    const int provinces = MapProject->Provinces.GetCount();
    SaveAs((editor / "twin.pw").string());

    New(editor / "worlds/small_isles.bmp");
    MapProject->MarkModified();
    host.AnswerMessageBox(IDNO, kSaveQuestion);
    Open(editor / "twin.pw");
    CMapProject& project = *MapProject;
    EXPECT_TRUE(ProjectShown());
    EXPECT_EQ(project.Provinces.GetCount(), provinces);
    EXPECT_EQ(main.LVProvinces->GetItems()->GetCount(), provinces);
    EXPECT_EQ(EventFrame->LVEvents->GetItems()->GetCount(), 2);
    EXPECT_EQ(PlayerTicks(), "---+--");
    EXPECT_EQ(project.FileName, (editor / "twin.pw").string());
    EXPECT_EQ(project.Modified, 0u);
    EXPECT_EQ(Panel(1), "200%");
    EXPECT_EQ(Panel(3), "[" + std::to_string(project.WorldWidth) + ":" + std::to_string(project.WorldHeight) + "]");
    EXPECT_EQ(main.PgCMissionProperties->GetActivePageIndex(), 1);
    // A project read from its file has no world-image warnings to show.
    EXPECT_TRUE(main.ActShowErrors->GetEnabled());
    EXPECT_FALSE(main.BtnActShowErrors->GetEnabled());
    // Nothing changed, so closing asks nothing (the fixture answers no question).
}

TEST_F(FileCommands, AnOpenThatFailsSaysSoAndLeavesNoProject) {
    editor.NewMission("small_isles.bmp");
    SaveAs((editor / "whole.pw").string());
    const std::vector<uint8_t> whole = ReadFileBytes(editor / "whole.pw");
    thorn::test::WriteFileBytes(editor / "half.pw", std::span(whole).first(whole.size() / 2));
    thorn::test::WriteFileBytes(editor / "empty.pw", std::vector<uint8_t>{});
    thorn::test::WriteFileBytes(editor / "picture.pw", ReadFileBytes(editor / "worlds/small_isles.bmp"));
    for (const char* name : {"half.pw", "empty.pw", "picture.pw"}) {
        SCOPED_TRACE(name);
        editor.NewMission("small_isles.bmp");
        host.AnswerFileDialog((editor / name).string(), "Open");
        host.AnswerMessageBox(IDOK, "Error while load project");
        Choose("File", "Open project...");
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_FALSE(ProjectShown());
        EXPECT_TRUE(main.LblNoProject->GetVisible());
        EXPECT_EQ(MapProject->Provinces.GetCount(), 0);
        EXPECT_EQ(MapProject->Modified, 0u);
        EXPECT_EQ(Panel(3), "");
    }
}

// A mission the game takes: two active players, each with a capital.
void MakeExportable(CMapProject& project) {
    for (uint8_t i : {0, 1}) {
        CProvince* capital = project.Provinces.GetAt(i);
        capital->SetOwner(i);
        project.Players[i].SetActive(1);
        project.Players[i].SetCapital(capital);
    }
}

TEST_F(FileCommands, CompilingRefusesTheReservedNameInAnyCaseAndFolderAndWritesBothFilesOtherwise) {
    editor.NewMission("small_isles.bmp");
    MakeExportable(*MapProject);
    fs::create_directory(editor / "sub");
    // Each refusal opens the dialog again.
    for (const char* name : {"Scenario01.pdb", "SCENARIO01", "sub/scenario01.xyz"}) {
        host.AnswerFileDialog((editor / name).string(), "Save As");
        host.AnswerMessageBox(IDOK, "\"Scenario01.*\" is a reserved name!\r\nPlease, choose another name for your mission.");
    }
    host.CancelDialog("Save As");
    Choose("File", "Compile Mission for PDA...");
    EXPECT_EQ(host.PendingScripts(), 0u);
    for (const char* name : {"scenario010", "my_scenario01"}) {
        SCOPED_TRACE(name);
        host.AnswerFileDialog((editor / "sub" / name).string(), "Save As");
        Choose("File", "Compile Mission for PDA...");
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_GT(fs::file_size(editor / "sub" / (std::string(name) + ".pdb")), 0u);
        EXPECT_GT(fs::file_size(editor / "sub" / (std::string(name) + ".pak")), 0u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(editor / "sub"), fs::directory_iterator()), 4);
}

TEST_F(FileCommands, ACompileThatFailsIsShownAndKeepsTheEarlierFiles) {
    editor.NewMission("small_isles.bmp");
    MakeExportable(*MapProject);
    thorn::test::WriteFileBytes(editor / "camp.pdb", std::vector<uint8_t>{'o', 'l', 'd'});
    fs::create_directory(editor / "camp.pak");  // in the way of the package
    host.AnswerFileDialog((editor / "camp").string(), "Save As");
    host.AnswerMessageBox(IDYES, "camp.pdb\" and \"" + (editor / "camp.pak").string() + "\" already exist.");
    host.AnswerMessageBox(IDOK, "You can't save mission because the file \"" + (editor / "camp.pak").string() +
                                    "\" cannot be written: it is not a regular file");
    Choose("File", "Compile Mission for PDA...");
    EXPECT_EQ(host.PendingScripts(), 0u);
    EXPECT_EQ(ReadFileBytes(editor / "camp.pdb"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(fs::is_directory(editor / "camp.pak"));
}

// Compile asks about the files it will write, the pair named after the name
// typed, and only about those of them that exist: once, before anything is
// written. No goes back to the dialog.
TEST_F(FileCommands, CompilingAsksOnceAboutTheFilesOfThePairThatExist) {
    editor.NewMission("small_isles.bmp");
    MakeExportable(*MapProject);
    const fs::path folder = editor / "out";
    fs::create_directory(folder);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    struct Case {
        const char* name;
        const char* typed;
        std::vector<const char*> there;  // before the compile
        const char* question;            // none: nothing to ask; "<name>" is the file's path
        int answer;
    };
    const Case cases[] = {
        {"a project file of the name, no pair", "first.pw", {"first.pw"}, nullptr, 0},
        {"the .pdb there, answered No", "first", {"first.pdb"}, "\"<first.pdb>\" already exists.\nDo you want to replace it?",
         IDNO},
        {"the .pak there, answered Yes", "first", {"first.pak"}, "\"<first.pak>\" already exists.\nDo you want to replace it?",
         IDYES},
        {"both there, answered Yes", "first.pw", {"first.pdb", "first.pak"},
         "\"<first.pdb>\" and \"<first.pak>\" already exist.\nDo you want to replace them?", IDYES},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directory(folder);
        for (const char* name : c.there) thorn::test::WriteFileBytes(folder / name, old);
        const size_t shown = host.ShownDialogs().size();
        host.AnswerFileDialog((folder / c.typed).string(), "Save As");
        if (c.question) {
            std::string question = c.question;
            for (const char* name : {"first.pdb", "first.pak"})
                if (const size_t at = question.find("<" + std::string(name) + ">"); at != std::string::npos)
                    question.replace(at, std::strlen(name) + 2, (folder / name).string());
            host.AnswerMessageBox(c.answer, question);
        }
        // No: the dialog again, cancelled here.
        if (c.answer == IDNO) host.CancelDialog("Save As");
        Choose("File", "Compile Mission for PDA...");
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_EQ(host.ShownDialogs().size(), shown + 1 + (c.question ? 1 : 0) + (c.answer == IDNO ? 1 : 0));
        // The pair written unless the answer was No; the name typed is
        // never written.
        const bool written = c.answer != IDNO;
        for (const char* name : {"first.pdb", "first.pak", "first.pw"}) {
            const bool pair = std::string_view(name) != "first.pw";
            const bool was = std::find_if(c.there.begin(), c.there.end(),
                                          [&](const char* n) { return std::string_view(n) == name; }) != c.there.end();
            EXPECT_EQ(fs::exists(folder / name), (pair && written) || was) << name;
            if (fs::exists(folder / name)) {
                EXPECT_EQ(ReadFileBytes(folder / name) == old, !(pair && written)) << name;
            }
        }
    }
}

TEST_F(FileCommands, ReloadPutsTheMissionOnTheNewPictureAfterTheWarning) {
    editor.NewMission("small_isles.bmp");
    SaveAs((editor / "isles.pw").string());
    Open(editor / "isles.pw");
    ASSERT_FALSE(main.BtnActShowErrors->GetEnabled());
    DlgError->Hide();
    const std::string oldSize = Panel(3);
    const int provinces = MapProject->Provinces.GetCount();
    const int pieces = MapProject->MapPieces.GetCount();
    struct Case {
        const char* name;
        std::function<void()> answers;
        bool reloaded;
    };
    const Case cases[] = {
        {"the warning answered No", [&] { host.AnswerMessageBox(IDNO, kReloadWarning); }, false},
        {"the picture not chosen",
         [&] {
             host.AnswerMessageBox(IDYES, kReloadWarning);
             host.CancelDialog("Open");
         },
         false},
        {"the same world again",
         [&] {
             host.AnswerMessageBox(IDYES, kReloadWarning);
             host.AnswerFileDialog((editor / "worlds/small_isles.bmp").string(), "Open");
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.answers();
        Choose("File", "Reload World Image");
        EXPECT_EQ(host.PendingScripts(), 0u);
        EXPECT_TRUE(ProjectShown());
        EXPECT_EQ(MapProject->Provinces.GetCount(), provinces);
        EXPECT_EQ(MapProject->MapPieces.GetCount(), pieces);
        EXPECT_EQ(Panel(3), oldSize);
        // A reloaded world is a change to save; the warnings of the new
        // picture can be shown, and the settings show them at once.
        EXPECT_EQ(MapProject->Modified, c.reloaded ? 1u : 0u);
        EXPECT_EQ(main.BtnActShowErrors->GetEnabled(), c.reloaded);
        EXPECT_EQ(host.IsWindowVisible(*DlgError.Get()), c.reloaded);
    }
}

}  // namespace

// The tool windows shown before New and Open stay shown through them, with
// their commands (menu item and tool button) ticked, so the next F3 or F4
// hides them.
TEST_F(FileCommands, ToolWindowsShownKeepTheirCommandsTickedThroughNewAndOpen) {
    const std::pair<TCustomForm*, TAction*> windows[] = {{MissFrame.Get(), main.ActShowMissRMI},
                                                         {EventFrame.Get(), main.ActShowEventRMI}};
    const TKey keys[] = {VK_F3, VK_F4};
    editor.NewMission("twin_kingdoms.bmp");
    SaveAs((editor / "twin.pw").string());
    for (auto [window, command] : windows)
        if (!command->GetChecked()) command->Execute();
    for (const char* step : {"New", "Open"}) {
        SCOPED_TRACE(step);
        if (step[0] == 'N')
            New(editor / "worlds/small_isles.bmp");
        else
            Open(editor / "twin.pw");
        for (auto [window, command] : windows) {
            EXPECT_TRUE(host.IsWindowVisible(*window));
            EXPECT_TRUE(command->GetChecked());
        }
    }
    for (int i = 0; i < 2; ++i) {
        host.PressKey(keys[i]);
        EXPECT_FALSE(host.IsWindowVisible(*windows[i].first));
        EXPECT_FALSE(windows[i].second->GetChecked());
    }
}
