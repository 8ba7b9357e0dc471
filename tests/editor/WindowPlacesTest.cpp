#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "EditorSession.h"
#include "editor/Dlg_error.h"
#include "editor/Eventsframe.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/SizeConstraints.h"
#include "gui/WindowPlacing.h"

// The editor's windows come up where they can be used, on desktops of
// several sizes, bare and with a window manager's frames: inside the work
// area, the tool windows clear of each other and of the main window's menu
// and tool bar, whatever the settings file kept (the shipped one, none,
// places off the screen).
namespace {

using thorn::FrameEdges;
using thorn::test::EditorSession;
using thorn::test::ReadText;
using thorn::test::WriteText;

constexpr FrameEdges kBare{};
constexpr FrameEdges kFramed{5, 29, 5, 5};
// A tool window's smaller frame.
constexpr FrameEdges kToolFramed{3, 18, 3, 3};

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

void ExpectUsable(EditorSession& editor) {
    const TRect area = editor.Host().GetWorkArea();
    TMainForm& main = editor.Main();
    const FrameEdges frame = main.GetFrameEdges();
    // Inside, or, when its least height does not fit (800 x 600 under a
    // frame), at the top of the work area at that height.
    const TRect framedMain = thorn::FramedRect(main.GetBoundsRect(), frame);
    const bool least = main.GetHeight() == main.Constraints().GetMinHeight() && framedMain.Top == area.Top;
    EXPECT_TRUE(thorn::WhollyInside(main.GetBoundsRect(), frame, area) ||
                (least && thorn::WhollyInside({main.GetLeft(), main.GetTop(), main.GetLeft() + main.GetWidth(),
                                               main.GetTop() + area.Height() - frame.Top - frame.Bottom},
                                              frame, area)))
        << "the main window";
    const TRect mainFrame = thorn::FramedRect(main.GetBoundsRect(), frame);
    const int barsBottom = main.PgCMissionProperties->ClientToScreen({0, 0}).Y;
    std::vector<TRect> tools;
    for (TCustomForm* tool : {static_cast<TCustomForm*>(MissFrame.Get()), static_cast<TCustomForm*>(EventFrame.Get()),
                              static_cast<TCustomForm*>(DlgError.Get())}) {
        if (!tool->GetVisible()) continue;
        SCOPED_TRACE(tool->GetCaption());
        const TRect framed = thorn::FramedRect(tool->GetBoundsRect(), tool->GetFrameEdges());
        EXPECT_TRUE(thorn::WhollyInside(tool->GetBoundsRect(), tool->GetFrameEdges(), area));
        EXPECT_TRUE(!Overlap(framed, mainFrame) || framed.Top >= barsBottom) << "over the main window's bars";
        for (const TRect& other : tools) EXPECT_FALSE(Overlap(framed, other)) << "over another tool window";
        tools.push_back(framed);
    }
}

struct Desk {
    const char* name;
    TRect area;
    FrameEdges frame;
    // The window manager tells the frame only once it has framed a window
    // (until then the windows are placed bare); the tool windows' smaller
    // frames one by one before the main window's, when asked.
    bool toldOnceFramed = false;
    bool toolsFramedFirst = false;
};

const Desk kDesks[] = {
    {"1280 x 1024", {0, 0, 1280, 1024}, kBare},
    {"1280 x 1024 framed", {0, 0, 1280, 1024}, kFramed},
    {"1280 x 998 above a task bar, framed", {0, 0, 1280, 998}, kFramed},
    {"1024 x 768", {0, 0, 1024, 768}, kBare},
    {"1024 x 768 framed", {0, 0, 1024, 768}, kFramed},
    {"800 x 600", {0, 0, 800, 600}, kBare},
    {"800 x 600 framed", {0, 0, 800, 600}, kFramed},
    {"1024 x 768, the frame told once framed", {0, 0, 1024, 768}, kFramed, true},
    {"800 x 600, the frame told once framed", {0, 0, 800, 600}, kFramed, true},
    {"1024 x 768, the tool windows' frames told first", {0, 0, 1024, 768}, kFramed, true, true},
};

void Start(EditorSession& editor, const Desk& desk) {
    editor.Start();
    if (!desk.toldOnceFramed) return;
    if (!desk.toolsFramedFirst) {
        editor.Host().FrameShownWindows(desk.frame);
        return;
    }
    for (TCustomForm* tool : {static_cast<TCustomForm*>(MissFrame.Get()), static_cast<TCustomForm*>(EventFrame.Get())})
        editor.Host().FrameShownWindow(*tool, kToolFramed);
    editor.Host().FrameShownWindow(editor.Main(), desk.frame);
}

// What the settings file holds before the start.
struct Kept {
    const char* name;
    std::function<void(EditorSession&)> prepare;
};

void Replace(std::string& text, const std::string& what, const std::string& with) {
    const size_t at = text.find(what);
    ASSERT_NE(at, std::string::npos) << what;
    text.replace(at, what.size(), with);
}

TEST(WindowPlaces, EveryWindowComesUpInsideTheWorkAreaClearOfTheBarsAndOfEachOther) {
    const Kept kept[] = {
        {"the shipped settings", [](EditorSession&) {}},
        {"no settings file", [](EditorSession& e) { std::filesystem::remove(e / "ini.xml"); }},
        {"places partly off the screen",
         [](EditorSession& e) {
             std::string ini = ReadText(e / "ini.xml");
             Replace(ini, "Left=\"6\" Top=\"30\"", "Left=\"-300\" Top=\"-200\"");
             Replace(ini, "Left=\"966\" Top=\"30\"", "Left=\"2000\" Top=\"-100\"");
             WriteText(e / "ini.xml", ini);
         }},
    };
    for (const Desk& desk : kDesks)
        for (const Kept& k : kept) {
            SCOPED_TRACE(std::string(desk.name) + ", " + k.name);
            EditorSession editor;
            editor.Host().SetWorkArea(desk.area);
            editor.Host().SetFrame(desk.toldOnceFramed ? kBare : desk.frame);
            k.prepare(editor);
            Start(editor, desk);
            // A mission, without which the tool windows cannot be shown.
            editor.NewMission("small_isles.bmp");
            if (DlgError->GetVisible()) DlgError->Close();
            // The designer shows what the settings did not.
            for (TCustomForm* tool : {static_cast<TCustomForm*>(MissFrame.Get()),
                                      static_cast<TCustomForm*>(EventFrame.Get())})
                if (!tool->GetVisible()) editor.Host().PressKey(tool == MissFrame.Get() ? VK_F3 : VK_F4);
            ExpectUsable(editor);
            // The warnings window too, shown alone over the main window.
            editor.Host().PressKey(VK_F3);
            editor.Host().PressKey(VK_F4);
            DlgError->Show();
            ExpectUsable(editor);
            MapProject->Modified = 0;
            editor.Close();
        }
}

// A place the designer gave a tool window is its own even where a hidden
// one stood: shown again, it stays there.
TEST(WindowPlaces, AToolWindowMovedWhereAHiddenOneStoodStaysThere) {
    EditorSession editor;
    editor.Start();
    editor.NewMission("small_isles.bmp");
    if (DlgError->GetVisible()) DlgError->Close();
    for (TCustomForm* tool : {static_cast<TCustomForm*>(MissFrame.Get()), static_cast<TCustomForm*>(EventFrame.Get())})
        if (!tool->GetVisible()) editor.Host().PressKey(tool == MissFrame.Get() ? VK_F3 : VK_F4);
    const auto place = [](const TCustomForm& form) { return std::pair(form.GetLeft(), form.GetTop()); };
    editor.Host().PressKey(VK_F4);  // the events window hidden
    ASSERT_FALSE(EventFrame->GetVisible());
    const auto eventsPlace = place(*EventFrame.Get());
    ASSERT_NE(place(*MissFrame.Get()), eventsPlace);
    editor.Host().MoveWindow(*MissFrame.Get(), eventsPlace.first, eventsPlace.second);
    editor.Host().PressKey(VK_F3);
    editor.Host().PressKey(VK_F3);
    ASSERT_TRUE(MissFrame->GetVisible());
    EXPECT_EQ(place(*MissFrame.Get()), eventsPlace);
    MapProject->Modified = 0;
    editor.Close();
}

// A tool window the designer moved before the window manager told its
// frame stays where it was moved.
TEST(WindowPlaces, AToolWindowMovedBeforeItsFrameIsToldStaysThere) {
    EditorSession editor;
    editor.Host().SetWorkArea({0, 0, 1024, 768});
    editor.Start();
    ASSERT_TRUE(MissFrame->GetVisible());
    editor.Host().MoveWindow(*MissFrame.Get(), 100, 300);
    editor.Host().FrameShownWindows(kFramed);
    EXPECT_EQ(MissFrame->GetLeft(), 100);
    EXPECT_EQ(MissFrame->GetTop(), 300);
    editor.Close();
}

// The places kept at the close come back at the next start, with or without
// frames, and are kept again unchanged.
TEST(WindowPlaces, WhatIsSavedComesBackStartAfterStart) {
    for (const Desk& desk : kDesks) {
        SCOPED_TRACE(desk.name);
        std::string ini;
        std::map<std::string, std::string> first;
        for (int start = 0; start < 3; ++start) {
            SCOPED_TRACE(start);
            EditorSession editor;
            editor.Host().SetWorkArea(desk.area);
            editor.Host().SetFrame(desk.toldOnceFramed ? kBare : desk.frame);
            if (start == 0)
                std::filesystem::remove(editor / "ini.xml");
            else
                WriteText(editor / "ini.xml", ini);
            Start(editor, desk);
            if (start == 0) {
                editor.NewMission("small_isles.bmp");
                MapProject->Modified = 0;
                editor.Host().PressKey(VK_F3);
                editor.Host().PressKey(VK_F4);
            }
            editor.Close();
            ini = ReadText(editor / "ini.xml");
            auto places = thorn::test::Attributes(editor / "ini.xml");
            std::erase_if(places, [](const auto& entry) {
                return !entry.first.ends_with("Left") && !entry.first.ends_with("Top") &&
                       !entry.first.ends_with("Form/Width") && !entry.first.ends_with("Form/Height");
            });
            if (start == 0)
                first = places;
            else
                EXPECT_EQ(places, first);
        }
    }
}

}  // namespace
