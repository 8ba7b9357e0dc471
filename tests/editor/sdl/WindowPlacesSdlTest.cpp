#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../EditorSession.h"
#include "EditorOnScreen.h"
#include "OwnXServer.h"
#include "Processes.h"
#include "XScreen.h"
#include "editor/Missionframe.h"
#include "gui/Application.h"
#include "gui/WindowPlacing.h"
#include "support/PngFile.h"

// Runs under Xvfb: the editor's windows come up where they can be used. A
// main window kept partly off the screen comes back inside it (bare and
// under a window manager); the program itself, started on small screens
// of its own with the shipped settings, shows every window inside them, the
// tool windows clear of each other and of the main window's bars.
// "places_off_screen.png", "places_1024x768.png" and "places_800x600.png"
// in the working folder show the screens, to look at.
namespace {

namespace fs = std::filesystem;

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

void Replace(const fs::path& file, const std::string& what, const std::string& with) {
    std::string text = thorn::test::ReadText(file);
    const size_t at = text.find(what);
    ASSERT_NE(at, std::string::npos) << what;
    text.replace(at, what.size(), with);
    thorn::test::WriteText(file, text);
}

void Shot(thorn::test::XScreen& screen, const fs::path& file) {
    TBitmap32 whole;
    screen.Grab(whole);
    thorn::test::WritePng(file, whole);
}

class WindowPlacesOnScreen : public thorn::test::EditorOnScreen {};

TEST_F(WindowPlacesOnScreen, AMainWindowKeptPartlyOffTheScreenComesBackInside) {
    ASSERT_TRUE(screen.Ok());
    ASSERT_NO_FATAL_FAILURE(Replace(folder / "ini.xml", "Left=\"6\" Top=\"30\"", "Left=\"-300\" Top=\"-200\""));
    ASSERT_NO_FATAL_FAILURE(StartEditor());
    // Placed where the server says it is, frame and all on the screen.
    const thorn::FrameEdges frame = MainForm->GetFrameEdges();
    const unsigned long window = screen.WindowTitled(MainForm->GetCaption());
    ASSERT_TRUE(RunUntil([&] {
        const TRect place = screen.PlaceOf(window);
        return place.Left - frame.Left >= 0 && place.Top - frame.Top >= 0 && place.Left == MainForm->GetLeft() &&
               place.Top == MainForm->GetTop();
    })) << "at " << screen.PlaceOf(window).Left << ", " << screen.PlaceOf(window).Top;
    Shot(screen, output / "places_off_screen.png");
    MapProject->Modified = 0;
    MainForm->Close();
    ASSERT_TRUE(RunUntil([] { return MapProject == nullptr; }));
    const auto kept = thorn::test::Attributes(folder / "ini.xml");
    EXPECT_GE(std::stoi(kept.at("Thornvale/Editor/MainForm/Left")), frame.Left);
    EXPECT_GE(std::stoi(kept.at("Thornvale/Editor/MainForm/Top")), frame.Top);
}

// The program on a bare X server of its own, the screen's size given.
TEST(WindowPlacesOnSmallScreens, EveryWindowOfTheShippedSettingsIsInsideAndClear) {
    using thorn::test::Ended;
    using thorn::test::Spawn;
    const fs::path output = fs::current_path();
    for (const char* size : {"1024x768", "800x600"}) {
        SCOPED_TRACE(size);
        thorn::test::StartFolderCopy folder;
        thorn::test::OwnXServer server(400, size);
        thorn::test::XScreen* screen = server.Screen();
        ASSERT_TRUE(screen) << "Xvfb did not start on " << server.Display();
        const pid_t editor =
            Spawn({THORN_EDITOR_PROGRAM}, {{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}});
        ASSERT_NE(editor, 0);
        const char* titles[] = {"Thornvale II Map Editor", "Mission Properties", "Events List"};
        std::vector<TRect> places(3);
        // Up once each window is mapped and has stood still for a while.
        bool up = false;
        int still = 0;
        for (int i = 0; i < 200 && !up; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::vector<TRect> now;
            for (const char* title : titles) now.push_back(screen->PlaceOf(screen->WindowTitled(title)));
            const bool all = std::all_of(now.begin(), now.end(), [](const TRect& r) { return r.Right > r.Left; });
            still = all && now == places ? still + 1 : 0;
            places = now;
            up = still >= 10;
        }
        const TSize screenSize = screen->Size();
        if (up) Shot(*screen, output / ("places_" + std::string(size) + ".png"));
        kill(editor, SIGTERM);
        if (Ended(editor, 30) == -1) kill(editor, SIGKILL);
        server.Stop();
        ASSERT_TRUE(up) << "the editor's windows never all showed";
        const TRect whole{0, 0, screenSize.cx, screenSize.cy};
        for (size_t i = 0; i < places.size(); ++i) {
            SCOPED_TRACE(titles[i]);
            EXPECT_TRUE(thorn::WhollyInside(places[i], {}, whole));
        }
        EXPECT_FALSE(Overlap(places[1], places[2])) << "the tool windows over each other";
        // The menu and tool bar take the main window's top 50 rows.
        for (size_t i = 1; i < places.size(); ++i)
            EXPECT_TRUE(!Overlap(places[i], places[0]) || places[i].Top >= places[0].Top + 50) << titles[i];
    }
}

}  // namespace
