#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "EditorSession.h"
#include "editor/Eventsframe.h"
#include "editor/Dlg_error.h"
#include "editor/Dlg_slide.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"

// When a window hides or closes, the keyboard goes to the window that had
// it before: the focus events come late, as a window system sends them
// (the keyboard moves at once, the windows hear of it later), so a window
// shown and hidden at once never heard it had the keyboard. A key pressed
// afterwards reaches that window.
namespace {

using thorn::test::EditorSession;

struct Case {
    const char* name;
    // Where the keyboard is before (null: the main window).
    std::function<TCustomForm*(EditorSession&)> before;
    // What the designer does that shows a window and hides it again.
    std::function<void(EditorSession&)> act;
    bool focusEventsLate = true;
};

// Ctrl+S, the window system handing form the keyboard while the progress
// window shows (every window disabled, so form takes no activation).
void SaveWhileTheWindowSystemActivates(EditorSession& e, TCustomForm& form) {
    FormSlide->OnShow = [&e, &form](TObject*) {
        Application->QueueCall([&e, &form] {
            e.Host().WindowOf(form)->Activate();
            EXPECT_FALSE(form.GetActive());
        });
    };
    MapProject->FileName = (e / "kept.pw").string();
    MapProject->Modified = 1;
    e.Host().Advance(100);
    e.Host().PressKey('S', {ssCtrl});
    FormSlide->OnShow = nullptr;
    ASSERT_EQ(MapProject->Modified, 0);
}

TEST(KeyboardHandBack, AWindowThatHidesHandsTheKeyboardToTheOneActiveBefore) {
    const Case cases[] = {
        {"a save and its progress window", nullptr,
         [](EditorSession& e) {
             MapProject->FileName = (e / "kept.pw").string();
             MapProject->Modified = 1;
             e.Host().Advance(100);
             e.Host().PressKey('S', {ssCtrl});
             ASSERT_EQ(MapProject->Modified, 0);
         }},
        // A window manager hands the keyboard on to another window while
        // the progress window shows, every window disabled: that window
        // takes no activation, and the keyboard comes back all the same.
        {"a save while the window system gives the events window the keyboard",
         [](EditorSession& e) -> TCustomForm* {
             e.Host().PressKey(VK_F4);
             e.Host().WindowOf(*MainForm.Get())->Activate();
             return MainForm.Get();
         },
         [](EditorSession& e) {
             SaveWhileTheWindowSystemActivates(e, *EventFrame.Get());
             ASSERT_TRUE(EventFrame->IsShowing());
         },
         false},
        // The same, to the main window itself: no focus event comes as the
        // keyboard is taken back where it already is.
        {"a save while the window system gives the main window the keyboard", nullptr,
         [](EditorSession& e) { SaveWhileTheWindowSystemActivates(e, *MainForm.Get()); }, false},
        {"the events window shown and closed from its frame at once", nullptr,
         [](EditorSession& e) {
             e.Host().PressKey(VK_F4);
             ASSERT_TRUE(EventFrame->IsShowing());
             e.Host().RequestClose(*EventFrame.Get());
             ASSERT_FALSE(EventFrame->IsShowing());
         }},
        {"the warnings window closed over the mission window",
         [](EditorSession& e) -> TCustomForm* {
             e.Host().PressKey(VK_F3);
             e.Host().Click(*MissFrame.Get(), 150, 30);
             return MissFrame.Get();
         },
         [](EditorSession& e) {
             DlgError->Show();
             ASSERT_TRUE(DlgError->IsShowing());
             const TPoint ok = DlgError->BtnOk->ClientToParent({10, 10}, DlgError.Get());
             e.Host().Click(*DlgError.Get(), ok.X, ok.Y);
             ASSERT_FALSE(DlgError->IsShowing());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorSession editor;
        editor.Start();
        // A mission, without which the tool windows cannot be shown.
        editor.NewMission("small_isles.bmp");
        if (DlgError->GetVisible()) DlgError->Close();
        if (MissFrame->GetVisible()) editor.Host().PressKey(VK_F3);
        if (EventFrame->GetVisible()) editor.Host().PressKey(VK_F4);
        TCustomForm* before = c.before ? c.before(editor) : MainForm.Get();
        editor.Host().Advance(100);
        ASSERT_TRUE(before->GetActive());
        editor.Host().SetFocusEventsLate(c.focusEventsLate);
        ASSERT_NO_FATAL_FAILURE(c.act(editor));
        editor.Host().Advance(2000);
        EXPECT_TRUE(before->GetActive());
        ASSERT_NE(editor.Host().WindowOf(*before), nullptr);
        EXPECT_EQ(editor.Host().ActiveClient(), &editor.Host().WindowOf(*before)->Client());
        // A key typed now reaches the main window's shortcuts (from a tool
        // window too): F3 shows or hides the mission window.
        const bool shown = MissFrame->GetVisible();
        editor.Host().PressKey(VK_F3);
        EXPECT_NE(MissFrame->GetVisible(), shown);
        MapProject->Modified = 0;
        editor.Close();
    }
}

}  // namespace
