// The open, save and picture dialogs on a real temporary folder, answered
// from the headless host's script and driven with keys and clicks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "bitmap/Pix32.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/Edit.h"
#include "gui/ExtDlgs.h"
#include "gui/FileListView.h"
#include "gui/ListBox.h"
#include "gui/MessageBox.h"
#include "gui/PicturePreview.h"
#include "gui/headless/HeadlessHost.h"
#include "support/PictureFiles.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using thorn::FileDialogForm;

void Touch(const fs::path& file, std::string_view bytes = "x") {
    thorn::test::WriteFileBytes(file, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

// The rows of the dialog's list, folders ending in "/".
std::vector<std::string> Rows(const FileDialogForm& form) {
    std::vector<std::string> rows;
    for (int i = 0; i < form.GetList()->GetCount(); ++i) {
        const thorn::FolderEntry* entry = form.GetList()->GetEntry(i);
        rows.push_back(entry->name + (entry->folder ? "/" : ""));
    }
    return rows;
}

// A point of a control's client area in its form's coordinates.
TPoint OnForm(const TControl& control, TPoint p) {
    TPoint at = control.GetClientOrigin(), origin = control.GetParentForm()->GetClientOrigin();
    return {at.X - origin.X + p.X, at.Y - origin.Y + p.Y};
}

class FileDialogs : public ::testing::Test {
protected:
    FileDialogs() {
        for (const char* name : {"A.bmp", "b.txt", "c.BMP", "_x", "proj.pw", "README", ".hidden"}) Touch(dir / name);
        fs::create_directory(dir / "alpha");
        fs::create_directory(dir / "Zeta");
        Touch(dir / "Zeta" / "inner.txt");
    }
    // The next dialog is handed to act as a file dialog.
    void Script(std::function<void(FileDialogForm&)> act) {
        host.ScriptDialog({{}, 0, [act = std::move(act)](TCustomForm& f) { act(dynamic_cast<FileDialogForm&>(f)); }});
    }
    // Clicks a row of the dialog's list (twice for a double click).
    void ClickRow(FileDialogForm& form, std::string_view name, bool twice = false) {
        thorn::FileListView& list = *form.GetList();
        for (int row = 0; row < list.GetCount(); ++row)
            if (list.GetEntry(row)->name == name) {
                TRect r = list.RowRect(row);
                TPoint p = OnForm(list, {r.Left + 30, (r.Top + r.Bottom) / 2});
                twice ? host.DoubleClick(form, p.X, p.Y) : host.Click(form, p.X, p.Y);
                return;
            }
        FAIL() << "no row " << name;
    }

    thorn::HeadlessApplication session;
    thorn::HeadlessHost& host = session.Host();
    thorn::test::TempDir dir;
};

TEST_F(FileDialogs, FoldersComeFirstThenTheFilesTheFilterLetsThroughSortedWithoutCase) {
    TOpenDialog dialog;
    dialog.SetInitialDir(dir.Path().string());
    dialog.SetFilter("Bitmaps (*.bmp)|*.bmp|All|*.*");
    std::vector<std::string> bitmaps, all, typed;
    Script([&](FileDialogForm& form) {
        bitmaps = Rows(form);
        host.PressKey(VK_TAB);   // from the name box to the filter list
        host.PressKey(VK_DOWN);  // "All"
        all = Rows(form);
        host.PressKey(VK_TAB, ssShift);
        host.TypeText("*.txt;*.pw");  // a pattern typed into the name box filters too
        host.PressKey(VK_RETURN);
        typed = Rows(form);
        host.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(bitmaps, (std::vector<std::string>{"alpha/", "Zeta/", "A.bmp", "c.BMP"}));
    EXPECT_EQ(all, (std::vector<std::string>{"alpha/", "Zeta/", "_x", "A.bmp", "b.txt", "c.BMP", "proj.pw", "README"}));
    EXPECT_EQ(typed, (std::vector<std::string>{"alpha/", "Zeta/", "b.txt", "proj.pw"}));
    EXPECT_EQ(host.ShownDialogs(), std::vector<std::string>{"Open"});
}

TEST_F(FileDialogs, TypedNamesAreTakenRefusedOrQuestionedAsTheOptionsSay) {
    const std::string d = dir.Path().string();
    struct Case {
        const char* label;
        bool save;
        TOpenOptions options;
        const char* defaultExt;
        std::string typed;
        std::vector<std::pair<int, std::string>> boxes;  // answer, text shown
        std::string chosen;                              // empty: nothing taken
    };
    const Case cases[] = {
        {"an existing file", false, {ofFileMustExist}, "", "A.bmp", {}, d + "/A.bmp"},
        {"a missing file", false, {ofFileMustExist}, "", "missing.bmp",
         {{IDOK, "\"missing.bmp\" was not found.\nCheck the file name and try again."}}, ""},
        {"a missing folder", false, {ofPathMustExist}, "", "nodir/a.bmp",
         {{IDOK, "The folder \"" + d + "/nodir\" does not exist.\nCheck the path and try again."}}, ""},
        {"a new name to open", false, {}, "", "new.txt", {}, d + "/new.txt"},
        {"the default extension opening", false, {ofFileMustExist}, "pw", "proj", {}, d + "/proj.pw"},
        {"a bare name that alone is there", false, {ofFileMustExist}, "pw", "README", {}, d + "/README"},
        {"an absolute path", false, {ofFileMustExist}, "", d + "/c.BMP", {}, d + "/c.BMP"},
        {"a path into a folder", true, {ofPathMustExist}, "pw", "Zeta/inner", {}, d + "/Zeta/inner.pw"},
        {"overwriting refused", true, {ofOverwritePrompt}, "pw", "proj",
         {{IDNO, "\"" + d + "/proj.pw\" already exists.\nDo you want to replace it?"}}, ""},
        {"overwriting allowed", true, {ofOverwritePrompt}, ".pw", "proj",
         {{IDYES, "\"" + d + "/proj.pw\" already exists.\nDo you want to replace it?"}}, d + "/proj.pw"},
        {"overwriting without an extension", true, {ofOverwritePrompt}, "", "b.txt",
         {{IDYES, "\"" + d + "/b.txt\" already exists.\nDo you want to replace it?"}}, d + "/b.txt"},
        {"a new name to save", true, {ofOverwritePrompt}, "pw", "fresh", {}, d + "/fresh.pw"},
        {"a name that is only an extension", true, {ofOverwritePrompt}, "pw", ".pw", {}, d + "/.pw.pw"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::unique_ptr<TOpenDialog> dialog = c.save ? std::make_unique<TSaveDialog>() : std::make_unique<TOpenDialog>();
        dialog->SetInitialDir(d);
        dialog->SetOptions(c.options);
        dialog->SetDefaultExt(c.defaultExt);
        dialog->SetFileName("");
        Script([&](FileDialogForm& form) {
            host.TypeText(c.typed);
            host.PressKey(VK_RETURN);
            // Refused: the dialog is still there, and the user gives up.
            if (form.GetModalResult() == mrNone) host.PressKey(VK_ESCAPE);
        });
        std::vector<std::string> shown{c.save ? "Save As" : "Open"};
        for (const auto& [answer, text] : c.boxes) {
            host.AnswerMessageBox(answer, text);
            shown.push_back(text);
        }
        size_t before = host.ShownDialogs().size();
        EXPECT_EQ(dialog->Execute(), !c.chosen.empty());
        if (!c.chosen.empty()) {
            EXPECT_EQ(dialog->GetFileName(), c.chosen);
        }
        EXPECT_EQ(std::vector<std::string>(host.ShownDialogs().begin() + static_cast<long>(before),
                                           host.ShownDialogs().end()),
                  shown);
        EXPECT_EQ(host.PendingScripts(), 0u);
    }
}

TEST_F(FileDialogs, TheKeysAndTheMouseOpenFoldersAndTakeFiles) {
    TSaveDialog dialog;
    dialog.SetTitle("Export mission");
    dialog.SetInitialDir(dir.Path().string());
    dialog.SetFilter("All|*.*");
    std::vector<std::string> inZeta, backUp;
    std::string typedAhead;
    Script([&](FileDialogForm& form) {
        ClickRow(form, "Zeta");
        host.PressKey(VK_RETURN);  // opens the folder
        inZeta = Rows(form);
        host.PressKey(VK_BACK);  // back to the parent, the folder left selected
        backUp = {form.GetList()->GetSelectedEntry()->name, form.GetFolder().string()};
        host.TypeText("c");  // type-ahead: the first name beginning with it
        typedAhead = form.GetNameEdit()->GetText();
        ClickRow(form, "README", true);  // a double click takes it
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(inZeta, std::vector<std::string>{"inner.txt"});
    EXPECT_EQ(backUp, (std::vector<std::string>{"Zeta", dir.Path().string()}));
    EXPECT_EQ(typedAhead, "c.BMP");
    EXPECT_EQ(dialog.GetFileName(), (dir / "README").string());

    // The next showing starts where this one ended, with its name.
    Script([&](FileDialogForm& form) {
        EXPECT_EQ(form.GetFolder(), dir.Path());
        EXPECT_EQ(form.GetNameEdit()->GetText(), "README");
        EXPECT_EQ(form.GetCaption(), "Export mission");
        host.TypeText("Zeta");  // typed over the selected name: a folder opens
        host.PressKey(VK_RETURN);
        EXPECT_EQ(form.GetFolder(), dir / "Zeta");
        EXPECT_EQ(form.GetNameEdit()->GetText(), "");
        host.PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(FileDialogs, ADoubleClickOnAFolderOpensItAndChoosesNothingInIt) {
    // The file that comes to lie under the pointer once the folder is open.
    fs::create_directory(dir / "worlds");
    for (const char* name : {"atlas.bmp", "twin_kingdoms.bmp"}) Touch(dir / "worlds" / name);
    TOpenPictureDialog dialog;
    dialog.SetInitialDir(dir.Path().string());
    dialog.SetFileName("mission.bmp");
    std::string name;
    int selected = 0;
    bool previewed = true;
    Script([&](FileDialogForm& form) {
        ClickRow(form, "worlds", true);
        ASSERT_EQ(form.GetFolder(), dir / "worlds");
        ASSERT_EQ(form.GetList()->GetEntry(1)->name, "twin_kingdoms.bmp");
        name = form.GetNameEdit()->GetText();
        selected = form.GetList()->GetSelectedRow();
        previewed = form.GetPreview()->HasPicture() || !form.GetPreview()->GetInfo().empty();
        host.PressKey(VK_ESCAPE);
    });
    dialog.Execute();
    EXPECT_EQ(name, "mission.bmp");
    EXPECT_EQ(selected, -1);
    EXPECT_FALSE(previewed);
}

TEST_F(FileDialogs, AResizedDialogLaysItselfOutAgainAndARelativeFolderStartsFromTheCurrentOne) {
    TOpenDialog dialog;
    dialog.SetInitialDir(".");
    fs::path folder;
    TRect list, ok, cancel, name;
    TPoint smallest;
    Script([&](FileDialogForm& form) {
        folder = form.GetFolder();
        form.SetBounds(form.GetLeft(), form.GetTop(), form.GetWidth() + 200, form.GetHeight() + 100);
        list = form.GetList()->GetBoundsRect();
        ok = form.GetOkButton()->GetBoundsRect();
        cancel = form.GetCancelButton()->GetBoundsRect();
        name = form.GetNameEdit()->GetBoundsRect();
        form.SetBounds(form.GetLeft(), form.GetTop(), 100, 100);  // no smaller than its parts need
        smallest = {form.GetClientWidth(), form.GetClientHeight()};
        host.PressKey(VK_ESCAPE);
    });
    dialog.Execute();
    EXPECT_EQ(folder, fs::current_path());
    // The buttons keep to the bottom right corner, the list takes the rest.
    EXPECT_EQ(cancel.Right, 760 - 8);
    EXPECT_EQ(cancel.Bottom, 380 + 100 - 8);
    EXPECT_EQ(ok.Right, cancel.Right);
    EXPECT_EQ(list.Right, 760 - 8);
    EXPECT_EQ(name.Right, ok.Left - 6);
    EXPECT_EQ(list.Bottom, name.Top - 1 - 6);
    EXPECT_EQ(smallest, (TPoint{440, 260}));
}

TEST_F(FileDialogs, ThePlacesOpenTheStartAndHomeFolders) {
    thorn::test::TempDir home;
    Touch(home / "at-home.txt");
    const char* saved = std::getenv("HOME");
    std::string savedHome = saved ? saved : "";
    setenv("HOME", home.Path().c_str(), 1);
    TOpenDialog dialog;
    dialog.SetInitialDir(dir.Path().string());
    std::vector<std::string> atHome;
    fs::path start;
    Script([&](FileDialogForm& form) {
        TListBox& places = *form.GetPlaces();
        TPoint homeRow = OnForm(places, {20, (places.ItemRect(1).Top + places.ItemRect(1).Bottom) / 2});
        host.Click(form, homeRow.X, homeRow.Y);
        atHome = Rows(form);
        host.PressKey(VK_UP);  // the keys move between the places too
        start = form.GetFolder();
        host.PressKey(VK_ESCAPE);
    });
    dialog.Execute();
    if (saved) setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(atHome, std::vector<std::string>{"at-home.txt"});
    EXPECT_EQ(start, fs::current_path());
}

TEST_F(FileDialogs, ThePictureDialogPreviewsWhatItCanReadAndNamesWhatItCannot) {
    TBitmap32 red;
    red.SetSize(32, 16);
    red.Clear(Color32(clRed));
    thorn::test::WriteBmp24(dir / "red.bmp", red);
    Touch(dir / "broken.bmp", "BM not really a picture");
    TOpenPictureDialog dialog;
    dialog.SetInitialDir(dir.Path().string());
    dialog.SetOptions({ofFileMustExist});
    TColor32 shown = 0;
    std::string info, brokenInfo;
    bool brokenShown = true;
    Script([&](FileDialogForm& form) {
        thorn::PicturePreview& preview = *form.GetPreview();
        ClickRow(form, "red.bmp");
        info = preview.GetInfo();
        TRect r = preview.PictureRect();
        TPoint centre = OnForm(preview, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
        shown = host.PixelAt(form, centre.X, centre.Y);
        ClickRow(form, "broken.bmp");
        brokenShown = preview.HasPicture();
        brokenInfo = preview.GetInfo();
        host.PressKey(VK_RETURN);  // the dialog takes it; reading it is the caller's business
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(info, "32 x 16");
    EXPECT_EQ(shown, Color32(clRed));
    EXPECT_FALSE(brokenShown);
    EXPECT_FALSE(brokenInfo.empty());
    EXPECT_EQ(dialog.GetFileName(), (dir / "broken.bmp").string());
    EXPECT_EQ(dialog.GetFilterIndex(), 1);
}

TEST_F(FileDialogs, ScriptsAnswerByNameAndAnUnscriptedDialogFailsWithItsTitle) {
    TSaveDialog save;
    save.SetInitialDir(dir.Path().string());
    save.SetDefaultExt("pw");
    save.SetOptions({ofOverwritePrompt});
    host.AnswerFileDialog("proj", "Save As");
    host.AnswerMessageBox(IDYES, "proj.pw\" already exists");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.GetFileName(), (dir / "proj.pw").string());

    host.CancelDialog("Save As");
    EXPECT_FALSE(save.Execute());

    TOpenPictureDialog picture;
    picture.SetTitle("Import world picture");
    try {
        picture.Execute();
        FAIL() << "an unscripted dialog was answered";
    } catch (const thorn::EUnscriptedDialog& e) {
        EXPECT_NE(std::string(e.what()).find("Import world picture"), std::string::npos) << e.what();
    }
    // A name the dialog does not take leaves it open: the test fails there.
    TOpenDialog open;
    open.SetInitialDir(dir.Path().string());
    open.SetOptions({ofFileMustExist});
    host.AnswerFileDialog("nothing.pw");
    host.AnswerMessageBox(IDOK, "was not found");
    EXPECT_THROW(open.Execute(), thorn::EUnscriptedDialog);
    EXPECT_EQ(session.App().GetModalLevel(), 0);
}

}  // namespace
