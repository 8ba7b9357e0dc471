#include <gtest/gtest.h>

#include <string>

#include "EditorSession.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_slide.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"

namespace {

using thorn::test::EditorSession;

// A world of one-pixel regions, more than the 1501 pieces a project holds:
// the import tells the designer so while its progress window shows.
std::filesystem::path CheckerWorld(const EditorSession& editor) {
    TBitmap32 world;
    world.SetSize(160, 160);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 160; ++x) world.SetPixel(x, y, (x + y) % 2 ? 0xFF203040u : 0xFF405060u);
    const std::filesystem::path file = editor / "worlds/checker.bmp";
    world.SaveToFile(file);
    return file;
}

// The windows of the editor that a long operation holds.
std::vector<TCustomForm*> EditorForms() { return {MainForm.Get(), MissFrame.Get(), EventFrame.Get(), DlgError.Get()}; }

TEST(ProgressWindow, AnImportThatThrowsHidesItAndGivesEveryWindowBack) {
    EditorSession editor;
    editor.Start();
    const std::filesystem::path world = CheckerWorld(editor);

    bool slideShown = false, othersHeld = true;
    std::string step;
    editor.Host().ScriptDialog({"1501", 0, [&](TCustomForm&) {
                                    slideShown = editor.Host().IsWindowVisible(*FormSlide.Get());
                                    step = FormSlide->LbStat->GetCaption();
                                    for (TCustomForm* form : EditorForms()) othersHeld &= !form->GetEnabled();
                                    throw Exception("The designer's machine ran out of something");
                                }});
    EXPECT_THROW(MapProject->ImportWorldImage(world, 0), Exception);
    EXPECT_TRUE(slideShown);
    EXPECT_EQ(step, "Bitmap analyzing...");
    EXPECT_TRUE(othersHeld);

    EXPECT_FALSE(editor.Host().IsWindowVisible(*FormSlide.Get()));
    for (TCustomForm* form : EditorForms()) {
        SCOPED_TRACE(form->GetName() + " " + form->GetCaption());
        EXPECT_TRUE(form->GetEnabled());
    }
}

// Each step shows from its first paint with its own caption and an empty
// bar, not with what the step before left (a full bar before anything is done).
TEST(ProgressWindow, ShowsEachStepFromItsStart) {
    EditorSession editor;
    editor.Start();
    // A window the program holds disabled stays so after the operation.
    DlgError->SetEnabled(false);
    MapProject->ShowProgress("Saving project...", 10);
    MapProject->SetProgress(7);
    MapProject->HideProgress();
    MapProject->ShowProgress("Writing mission data...", 20);
    const TFormSlide& slide = *FormSlide.Get();
    EXPECT_EQ(slide.LbStat->GetCaption(), "Writing mission data...");
    EXPECT_EQ(slide.PBSlide->GetMax(), 20);
    EXPECT_EQ(slide.PBSlide->GetStep(), 1);
    EXPECT_EQ(slide.PBSlide->GetPosition(), 0);
    // What shows before the first position: the bar's first and last
    // pixels alike, both empty.
    ASSERT_TRUE(editor.Host().IsWindowVisible(slide));
    const TRect bar = slide.PBSlide->GetBoundsRect();
    const int middle = (bar.Top + bar.Bottom) / 2;
    EXPECT_NE(editor.Host().PixelAt(slide, bar.Left + 4, middle), 0u);
    EXPECT_EQ(editor.Host().PixelAt(slide, bar.Left + 4, middle), editor.Host().PixelAt(slide, bar.Right - 4, middle));
    EXPECT_FALSE(MainForm->GetEnabled());
    MapProject->HideProgress();
    MapProject->HideProgress();
    EXPECT_TRUE(MainForm->GetEnabled());
    EXPECT_FALSE(DlgError->GetEnabled());
    EXPECT_FALSE(editor.Host().IsWindowVisible(slide));
    editor.Close();
}

}  // namespace
