#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "../EditorSession.h"
#include "../SampleProject.h"
#include "SdlSession.h"
#include "XScreen.h"
#include "editor/About.h"
#include "editor/Dlg_comp.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_options.h"
#include "editor/Program.h"
#include "gui/Application.h"
#include "gui/Timers.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor's warnings window, text dialog, preferences
// dialog and about box in real windows over a project made from a sample
// world, used with the X pointer. Each is saved as a PNG picture in the
// build folder, to look at: "editor_warnings_window.png" (the whole screen,
// the chosen warning marked on the map), "editor_text_dialog.png",
// "editor_preferences.png" and "editor_about_box.png".
namespace {

namespace fs = std::filesystem;

class EditorDialogs : public thorn::test::SdlSession {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.Ok());
        ErrorsFormBounds = {};
        thorn::CreateEditorWindows(*app);
        MainForm->Show();
        fs::path world;
        thorn::test::WorldWithSpecks(folder.Path(), world);
        thorn::test::MakeProject(world);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(RunUntil([&] { return !MainForm->HasPendingPaint(); }));
    }

    // Where a point of a control's client area is on the screen.
    static TPoint OnScreen(const TControl& control, TPoint client) { return control.ClientToScreen(client); }
    static TPoint Middle(const TControl& control) {
        return OnScreen(control, {control.GetClientWidth() / 2, control.GetClientHeight() / 2});
    }

    // Saves the form's part of the screen.
    void SaveWindow(const TCustomForm& form, const char* file) {
        TBitmap32 shot, window;
        screen.Grab(shot);
        const TPoint topLeft = form.ClientToScreen({0, 0});
        window.SetSize(form.GetClientWidth(), form.GetClientHeight());
        shot.DrawTo(&window, 0, 0,
                    {topLeft.X, topLeft.Y, topLeft.X + window.Width(), topLeft.Y + window.Height()});
        thorn::test::WritePng(buildFolder / file, window);
    }

    // Shows the form modally; once it is painted, look runs (the screen is
    // the form's) and the X pointer clicks the control close returns.
    TModalResult RunModal(TCustomForm& form, std::function<const TControl&()> look) {
        bool looked = false;
        const uint64_t deadline = host->Now() + 10000;
        auto timer = std::make_unique<TTimer>();
        timer->SetInterval(50);
        timer->SetOnTimer([&](TObject*) {
            if (!form.IsShowing()) return;
            if (host->Now() > deadline) {
                form.SetModalResult(mrAbort);  // stuck: fail rather than hang
                return;
            }
            if (looked || form.HasPendingPaint()) return;
            looked = true;
            const TPoint p = Middle(look());
            screen.Click(p.X, p.Y);
        });
        timer->SetEnabled(true);
        const TModalResult result = form.ShowModal();
        EXPECT_TRUE(looked);
        return result;
    }

    const fs::path buildFolder = fs::current_path();
    thorn::test::StartFolderCopy folder;
    thorn::MainModuleScope module;
    thorn::test::XScreen screen;
};

TEST_F(EditorDialogs, WarningsTextPreferencesAndAboutInRealWindows) {
    // The warnings window, its second row chosen with the pointer.
    MainForm->ActShowErrors->Execute();
    TDlgError& warnings = *DlgError.Get();
    ASSERT_TRUE(RunUntil([&] { return warnings.IsShowing() && !warnings.HasPendingPaint(); }));
    const TRect row = warnings.LV->GetItems()->GetItem(1)->DisplayRect();
    const TPoint p = OnScreen(*warnings.LV, {row.Left + 60, (row.Top + row.Bottom) / 2});
    screen.Click(p.X, p.Y);
    const CErrorList& list = MapProject->ErrorList;
    ASSERT_TRUE(RunUntil([&] { return list.GetCurrent() == list.GetAt(1) && !MainForm->HasPendingPaint(); }));
    TBitmap32 whole;
    screen.Grab(whole);
    thorn::test::WritePng(buildFolder / "editor_warnings_window.png", whole);

    // The text dialog as the tool windows prepare it, answered "Cancel".
    TDlgComplex& text = *DlgComplex.Get();
    text.SetCaption("Author Notes");
    text.Memo->SetMaxLength(1000);
    text.Memo->SetText("Made for the Thornvale II campaign.\r\nThe isles in the west hold the old kingdoms.");
    EXPECT_EQ(RunModal(text, [&]() -> const TControl& {
                  SaveWindow(text, "editor_text_dialog.png");
                  return *text.BtnCancel;
              }),
              mrCancel);

    // The preferences, closed by "Apply Changes".
    TDlgOptions& options = *DlgOptions.Get();
    EXPECT_EQ(RunModal(options, [&]() -> const TControl& {
                  SaveWindow(options, "editor_preferences.png");
                  return *options.BtnOK;
              }),
              mrCancel);

    // The about box, closed by OK.
    TFrmAbout& about = *FrmAbout.Get();
    EXPECT_EQ(RunModal(about, [&]() -> const TControl& {
                  SaveWindow(about, "editor_about_box.png");
                  return *about.btnOKAbout;
              }),
              mrCancel);
}

}  // namespace
