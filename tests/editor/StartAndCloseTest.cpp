#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "EditorSession.h"
#include "gui/Application.h"
#include "model/GameData.h"
#include "platform/XMLDoc.h"
#include "support/FileCalls.h"

namespace {

using thorn::test::Attributes;
using thorn::test::EditorSession;
using thorn::test::FolderContents;
using thorn::test::ReadText;
using thorn::test::TempDir;
using thorn::test::WriteText;

void Replace(std::string& text, const std::string& what, const std::string& with) {
    const size_t at = text.find(what);
    ASSERT_NE(at, std::string::npos) << what;
    text.replace(at, what.size(), with);
}

TEST(EditorStartAndClose, ClosingWritesTheSettingsBackKeepingWhatElseTheFileHeldAndWritesNothingElse) {
    EditorSession editor;
    std::string ini = ReadText(editor / "ini.xml");
    Replace(ini, "<Editor ", "<Editor Custom=\"x\" ");
    Replace(ini, "<MainForm ", "<MainForm Extra=\"7\" ");
    Replace(ini, "</Thornvale>", "<Other keep=\"yes\"><Deep/></Other>\n</Thornvale>");
    WriteText(editor / "ini.xml", ini);
    const auto before = FolderContents(editor.Folder().Path());
    auto expected = Attributes(editor / "ini.xml");

    editor.Start();
    EXPECT_TRUE(editor.Host().IsWindowVisible(editor.Main()));
    EXPECT_EQ(Application->GetTitle(), "Thornvale II Mission editor");
    EXPECT_EQ(editor.Main().GetCaption(), "Thornvale II Map Editor");
    // A file dialog may have left another folder current.
    thorn::test::TempDir elsewhere;
    std::filesystem::current_path(elsewhere.Path());
    editor.Close();
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
    EXPECT_EQ(MapProject, nullptr);
    EXPECT_EQ(Settings, nullptr);

    auto after = FolderContents(editor.Folder().Path());
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, bytes] : before)
        if (name != "ini.xml") {
            EXPECT_EQ(after[name], bytes) << name;
        }
    auto written = Attributes(editor / "ini.xml");
    EXPECT_EQ(written, expected);
    TXMLDocument doc;
    doc.LoadFromFile(editor / "ini.xml");
    EXPECT_TRUE(thorn::FindChildNode(thorn::FindChildNode(doc.GetDocumentElement(), "Other"), "Deep"));
}

// What the start-up meets in the start folder, what it says, and how the
// window starts.
struct StartUpCase {
    const char* name;
    std::function<void(const EditorSession&)> prepare;
    std::vector<std::string> messages;
    bool projectCommands;  // New and Open can be used
    bool nameGenerator;    // the name generator has learned the sample names
};

TEST(EditorStartAndClose, StartsWhateverTheStartFolderLacksAndSaysWhatIsMissing) {
    auto remove = [](const char* file) {
        return [file](const EditorSession& e) { std::filesystem::remove(e / file); };
    };
    const StartUpCase cases[] = {
        {"every file there", [](const EditorSession&) {}, {}, true, true},
        {"no ini.xml", remove("ini.xml"), {}, true, true},
        {"damaged ini.xml",
         [](const EditorSession& e) { WriteText(e / "ini.xml", "<Thornvale><Editor"); },
         {"\"ini.xml\" cannot be read"},
         true,
         true},
        {"an Editor element without its windows",
         [](const EditorSession& e) { WriteText(e / "ini.xml", "<Thornvale><Editor ShNames=\"1\"/></Thornvale>"); },
         {},
         true,
         true},
        {"no Editor element",
         [](const EditorSession& e) { WriteText(e / "ini.xml", "<Thornvale><Other/></Thornvale>"); },
         {},
         true,
         true},
        {"no pw.xml", remove("pw.xml"), {"\"pw.xml\" cannot be used"}, false, true},
        {"a catalogue without its sections",
         [](const EditorSession& e) { WriteText(e / "pw.xml", "<Data/>"); },
         {"\"pw.xml\" cannot be used"},
         false,
         true},
        {"no texture strips",
         [](const EditorSession& e) {
             for (const char* file : {"res/MapTexturesNormal.bmp", "res/MapTexturesSelected.bmp", "res/SeaTexture.bmp"})
                 std::filesystem::remove(e / file);
         },
         {"Cannot find res/MapTexturesNormal.bmp", "Cannot find res/MapTexturesSelected.bmp",
          "Cannot find res/SeaTexture.bmp"},
         true,
         true},
        {"no sample names", remove("data/names.txt"), {}, true, false},
    };
    for (const StartUpCase& c : cases) {
        SCOPED_TRACE(c.name);
        EditorSession editor;
        c.prepare(editor);
        for (const std::string& message : c.messages) editor.Host().AnswerMessageBox(IDOK, message);
        editor.Start();
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
        EXPECT_EQ(editor.Host().ShownDialogs().size(), c.messages.size());

        TMainForm& main = editor.Main();
        EXPECT_TRUE(editor.Host().IsWindowVisible(main));
        // The window waits for a project in every case.
        EXPECT_TRUE(main.LblNoProject->GetVisible());
        EXPECT_FALSE(main.ImgVWorld->GetVisible());
        EXPECT_FALSE(main.ActSaveProject->GetEnabled());
        EXPECT_EQ(main.ActNewProject->GetEnabled(), c.projectCommands);
        EXPECT_EQ(main.ActLoadProject->GetEnabled(), c.projectCommands);
        EXPECT_EQ(main.TBrShow->GetButton(0)->GetEnabled(), c.projectCommands);
        EXPECT_EQ(!main.NameTables.NameKeys.empty(), c.nameGenerator);
        EXPECT_TRUE(Application->GetShowHint());

        editor.Close();
        ASSERT_EQ(MapProject, nullptr);
        // Whatever the file was, the settings are there to read next time.
        auto written = Attributes(editor / "ini.xml");
        EXPECT_EQ(written["Thornvale/Editor/TransValue"], "120");
        EXPECT_EQ(written["Thornvale/Editor/MainForm/ShowPanel"], "True");
    }
}

TEST(EditorStartAndClose, UnsavedChangesAreAskedAboutAndCancelKeepsTheWindowOpen) {
    EditorSession editor;
    editor.Start();
    editor.NewMission("small_isles.bmp");
    ASSERT_EQ(MapProject->Tables.GetAt(0)->SetAuthor("A. Designer"), 1);
    const std::string question = "You have made changes in project. Would you like to save your changes?";
    editor.Host().AnswerMessageBox(IDCANCEL, question);
    editor.Close();
    EXPECT_TRUE(editor.Host().IsWindowVisible(editor.Main()));
    ASSERT_NE(MapProject, nullptr);
    EXPECT_EQ(MapProject->Tables.GetAt(0)->Author, "A. Designer");
    editor.Host().AnswerMessageBox(IDNO, question);
    editor.Close();
    EXPECT_EQ(MapProject, nullptr);
    EXPECT_EQ(editor.Host().PendingScripts(), 0u);
}

TEST(EditorStartAndClose, ADamagedSettingsFileIsKeptBesideTheNewOne) {
    EditorSession editor;
    WriteText(editor / "ini.xml", "<Thornvale><Editor");
    editor.Host().AnswerMessageBox(IDOK, "ini.xml");
    editor.Start();
    editor.Close();
    EXPECT_EQ(ReadText(editor / "ini.xml.damaged"), "<Thornvale><Editor");
    EXPECT_NO_THROW(Attributes(editor / "ini.xml"));
}

// In a start folder the designer may write in but not list, closing writes
// the settings and sets a damaged file aside; a settings file it may not
// write is named once in the box that says so, and stays as it was.
TEST(EditorStartAndClose, ClosingInAFolderThatCannotBeListedWritesTheSettingsOrSaysOnceWhyNot) {
    struct Case {
        const char* name;
        const char* damaged;  // ini.xml before the start; none: as shipped
        bool readOnly;
        std::string closing;  // the box at close; empty: none
    };
    const Case cases[] = {
        {"the settings written", nullptr, false, ""},
        {"a damaged file set aside", "<Thornvale><Editor", false, ""},
        {"a file no one may write", nullptr, true, "Cannot write file \"<ini>\": Permission denied."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorSession editor;
        const std::filesystem::path ini = editor / "ini.xml";
        if (c.damaged) {
            WriteText(ini, c.damaged);
            editor.Host().AnswerMessageBox(IDOK, "ini.xml");
        }
        if (c.readOnly) std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
        const std::string before = ReadText(ini);
        editor.Start();
        std::string closing = c.closing;
        if (!closing.empty()) {
            Replace(closing, "<ini>", ini.string());
            editor.Host().AnswerMessageBox(IDOK, closing);
        }
        const size_t shown = editor.Host().ShownDialogs().size();
        {
            const thorn::test::UnlistableFolder unlistable(editor.Folder().Path());
            editor.Close();
        }
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
        EXPECT_EQ(std::vector<std::string>(editor.Host().ShownDialogs().begin() + static_cast<long>(shown),
                                           editor.Host().ShownDialogs().end()),
                  closing.empty() ? std::vector<std::string>{} : std::vector<std::string>{closing});
        if (c.readOnly) {
            EXPECT_EQ(ReadText(ini), before);
        } else {
            EXPECT_EQ(Attributes(ini)["Thornvale/Editor/TransValue"], "120");
        }
        if (c.damaged) {
            EXPECT_EQ(ReadText(editor / "ini.xml.damaged"), c.damaged);
        }
    }
}

// Damaged files are all kept, each under a name of its own; a settings file
// that is a link stays one, damaged or not, and its target is written.
TEST(EditorStartAndClose, DamagedSettingsFilesAreAllKeptAndALinkStaysALink) {
    const TempDir kept;
    const std::filesystem::path settings = kept / "settings.xml";
    const char* damaged[] = {"<Thornvale><Editor", "<Thornvale><Editor Note=\"kept\x01value\"/></Thornvale>"};
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        EditorSession editor;
        std::filesystem::remove(editor / "ini.xml");
        std::filesystem::create_symlink(settings, editor / "ini.xml");
        WriteText(settings, text);
        editor.Host().AnswerMessageBox(IDOK, "ini.xml");
        editor.Start();
        editor.Close();
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
        EXPECT_TRUE(std::filesystem::is_symlink(editor / "ini.xml"));
        EXPECT_EQ(Attributes(settings)["Thornvale/Editor/TransValue"], "120");
    }
    EXPECT_EQ(ReadText(kept / "settings.xml.damaged"), damaged[0]);
    EXPECT_EQ(ReadText(kept / "settings.xml.damaged-2"), damaged[1]);
}

// What stands as "ini.xml", links followed, is no regular file: it is
// neither set aside nor written over. The editor starts with its defaults,
// says where the settings cannot be kept, and at close leaves everything as
// it was.
TEST(EditorStartAndClose, ASettingsFileThatIsNoRegularFileIsLeftAsItIs) {
    using Type = std::filesystem::file_type;
    struct Case {
        const char* name;
        std::function<std::filesystem::path(const EditorSession&, const TempDir&)> make;  // answers where
        const char* why;
    };
    const auto fifo = [](const std::filesystem::path& where) {
        EXPECT_EQ(::mkfifo(where.c_str(), 0600), 0);
        return where;
    };
    const Case cases[] = {
        {"a link to a FIFO",
         [&](const EditorSession& e, const TempDir& other) {
             std::filesystem::create_symlink(fifo(other / "fifo"), e / "ini.xml");
             return other / "fifo";
         },
         ": it is not a regular file"},
        {"a FIFO", [&](const EditorSession& e, const TempDir&) { return fifo(e / "ini.xml"); }, ": it is not a regular file"},
        {"a loop of links",
         [](const EditorSession& e, const TempDir&) {
             std::filesystem::create_symlink("loop.xml", e / "ini.xml");
             std::filesystem::create_symlink("ini.xml", e / "loop.xml");
             return e / "ini.xml";
         },
         ": Too many levels of symbolic links"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorSession editor;
        const TempDir other;
        std::filesystem::remove(editor / "ini.xml");
        const std::filesystem::path where = c.make(editor, other);
        const auto listing = [&] {
            std::vector<std::pair<std::string, Type>> entries;
            for (const auto* folder : {&editor.Folder().Path(), &other.Path()})
                for (const auto& entry : std::filesystem::directory_iterator(*folder))
                    entries.emplace_back(entry.path().string(), entry.symlink_status().type());
            std::sort(entries.begin(), entries.end());
            return entries;
        };
        const auto entries = listing();
        editor.Host().AnswerMessageBox(IDOK, "The settings cannot be kept in \"" + where.string() + "\"" + c.why +
                                                 ".\nThe editor starts with its default settings");
        editor.Start();
        EXPECT_EQ(editor.Host().PendingScripts(), 0u);
        EXPECT_EQ(Settings->TransValue, 120);
        editor.Close();
        EXPECT_EQ(editor.Host().ShownDialogs().size(), 1u);
        EXPECT_EQ(listing(), entries);
    }
}

}  // namespace
