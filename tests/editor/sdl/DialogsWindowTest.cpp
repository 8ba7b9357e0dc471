#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <X11/keysym.h>

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
#include "gui/Edit.h"
#include "gui/FontDialogForm.h"
#include "gui/MessageBox.h"
#include "gui/Timers.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor's warnings window, text dialog, preferences
// dialog and about box in real windows over a project made from a sample
// world, used with the X pointer. Each is saved as a PNG picture in the
// build folder, to look at: "editor_warnings_window.png" (the whole screen,
// the chosen warning marked on the map), "editor_text_dialog.png",
// "editor_preferences.png" and "editor_about_box.png"; the label font's
// dialog refusing a size beyond the labels' as "editor_label_font_refused.png".
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

    // The commands the window manager is told the form's frame offers
    // (_MOTIF_WM_HINTS' functions): close 32, minimise 8, maximise 16.
    unsigned long FrameCommands(const TCustomForm& form) {
        const auto hints = screen.Property(screen.WindowTitled(form.GetCaption()), "_MOTIF_WM_HINTS");
        return hints.size() >= 2 && (hints[0] & 1) ? hints[1] & (32 | 8 | 16) : ~0ul;
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

    // The middle of a control on the screen, from where its window really
    // is: without a window manager, a dialog window moved after it was made
    // may stay at the desktop's corner (found among the windows of its
    // caption by its size).
    static TPoint MiddleOnItsWindow(const TControl& control) {
        TCustomForm& form = *control.GetParentForm();
        const TPoint inForm =
            control.ClientToParent({control.GetClientWidth() / 2, control.GetClientHeight() / 2}, &form);
        for (uint32_t id = 1; id < 64; ++id) {
            SDL_Window* window = SDL_GetWindowFromID(id);
            if (!window || form.GetCaption() != SDL_GetWindowTitle(window) ||
                !(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN))
                continue;
            int x = 0, y = 0, width = 0, height = 0;
            SDL_GetWindowSize(window, &width, &height);
            if (width != form.GetClientWidth() || height != form.GetClientHeight()) continue;
            SDL_GetWindowPosition(window, &x, &y);
            return {x + inForm.X, y + inForm.Y};
        }
        return Middle(control);
    }
    template <typename Form>
    static Form* ShownForm() {
        for (int i = 0; i < Screen->GetFormCount(); ++i)
            if (auto* form = dynamic_cast<Form*>(Screen->GetForm(i)); form && form->IsShowing()) return form;
        return nullptr;
    }
    void Type(std::initializer_list<unsigned long> keys) {
        for (unsigned long key : keys) screen.Key(key);
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
                  // No border icons: no close, minimise or maximise box.
                  EXPECT_EQ(FrameCommands(text), 0u);
                  return *text.BtnCancel;
              }),
              mrCancel);

    // The preferences, closed by "Apply Changes".
    TDlgOptions& options = *DlgOptions.Get();
    EXPECT_EQ(RunModal(options, [&]() -> const TControl& {
                  SaveWindow(options, "editor_preferences.png");
                  // A dialog's border: only the close box.
                  EXPECT_EQ(FrameCommands(options), 32u);
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

// The label font's dialog, opened from the preferences with the X pointer:
// 2000 typed as the size with the X keyboard is refused, 72 is taken.
TEST_F(EditorDialogs, ThePreferencesKeepTheLabelFontWithinItsSizes) {
    TDlgOptions& options = *DlgOptions.Get();
    int step = 0;
    const uint64_t deadline = host->Now() + 20000;
    auto timer = std::make_unique<TTimer>();
    timer->SetInterval(50);
    timer->SetOnTimer([&](TObject*) {
        auto* fonts = ShownForm<thorn::FontDialogForm>();
        auto* message = ShownForm<thorn::TMessageForm>();
        if (host->Now() > deadline) {
            for (TCustomForm* stuck : {static_cast<TCustomForm*>(message), static_cast<TCustomForm*>(fonts),
                                       static_cast<TCustomForm*>(&options)})
                if (stuck && stuck->IsShowing()) return stuck->SetModalResult(mrAbort);
            return;
        }
        auto click = [&](const TControl& control) {
            const TPoint p = MiddleOnItsWindow(control);
            screen.FocusAt(p.X, p.Y);
            screen.Click(p.X, p.Y);
        };
        switch (step) {
            case 0:
                if (options.HasPendingPaint()) return;
                click(*options.BtnNameFont);
                break;
            case 1:
                if (!fonts || fonts->HasPendingPaint()) return;
                click(*fonts->GetSizeEdit());
                break;
            case 2:
                if (!fonts || !fonts->GetSizeEdit()->Focused() || !fonts->GetActive()) return;
                screen.Key(XK_Home);
                screen.Key(XK_End, true);
                Type({XK_2, XK_0, XK_0, XK_0, XK_Return});
                break;
            case 3: {
                if (!message || message->HasPendingPaint()) return;
                EXPECT_EQ(message->GetMessageText(), "Size must be between 6 and 72 points.");
                TBitmap32 whole;
                screen.Grab(whole);
                thorn::test::WritePng(buildFolder / "editor_label_font_refused.png", whole);
                click(*message->GetButton(IDOK));
                break;
            }
            case 4:
                if (message || !fonts) return;
                // The keyboard goes back to the dialog with a click.
                if (!fonts->GetSizeEdit()->Focused() || !fonts->GetActive()) return click(*fonts->GetSizeEdit());
                screen.Key(XK_Home);
                screen.Key(XK_End, true);
                Type({XK_7, XK_2, XK_Return});
                break;
            case 5:
                if (fonts || options.HasPendingPaint()) return;
                click(*options.BtnOK);
                break;
            default: return;
        }
        ++step;
    });
    timer->SetEnabled(true);
    options.ShowModal();
    EXPECT_EQ(step, 6);
    EXPECT_EQ(Settings->LabelFont.GetSize(), 72);
    EXPECT_EQ(options.BtnNameFont->GetFont().GetSize(), 72);
}

}  // namespace
