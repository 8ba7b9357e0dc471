#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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
#include "support/SourceTree.h"

// Runs under Xvfb: the editor's windows come up where they can be used. A
// main window kept partly off the screen comes back inside it (bare and
// under a window manager); the program itself, started on small screens
// of its own with the shipped settings (under the same window manager),
// shows every window inside them, frame and all, the tool windows clear of
// each other and of the main window's bars.
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

// The with-wm name of the window manager running on the screen ("" when
// none does): the first word of the name it gives, in small letters.
std::string ManagerOf(thorn::test::XScreen& screen) {
    std::string name = screen.ManagerName();
    name = name.substr(0, name.find(' '));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name;
}

// A client window's frame as its manager tells it (_NET_FRAME_EXTENTS),
// none when it tells nothing.
thorn::FrameEdges FrameOf(thorn::test::XScreen& screen, unsigned long window) {
    const std::vector<unsigned long> e = screen.Property(window, "_NET_FRAME_EXTENTS");
    if (e.size() != 4) return {};
    return {static_cast<int>(e[0]), static_cast<int>(e[2]), static_cast<int>(e[1]), static_cast<int>(e[3])};
}

// The program on an X server of its own, the screen's size given, under
// the window manager the test runs under (if any), as on a desktop that
// small.
TEST(WindowPlacesOnSmallScreens, EveryWindowOfTheShippedSettingsIsInsideAndClear) {
    using thorn::test::Ended;
    using thorn::test::Spawn;
    const fs::path output = fs::current_path();
    thorn::test::XScreen runScreen;
    ASSERT_TRUE(runScreen.Ok());
    const std::string manager = ManagerOf(runScreen);
    std::vector<std::string> program{THORN_EDITOR_PROGRAM};
    if (!manager.empty())
        program.insert(program.begin(), {(thorn::test::SourceDir() / "tests/support/with-wm").string(), manager});
    for (const char* size : {"1024x768", "800x600"}) {
        SCOPED_TRACE(size);
        thorn::test::StartFolderCopy folder;
        thorn::test::OwnXServer server(400, size);
        thorn::test::XScreen* screen = server.Screen();
        ASSERT_TRUE(screen) << "Xvfb did not start on " << server.Display();
        // The session with-wm starts for xfwm4 is one of its own.
        const pid_t editor = Spawn(
            program, {{"DISPLAY", server.Display()}, {"SDL_VIDEODRIVER", "x11"}, {"WITH_WM_SESSION", ""}});
        ASSERT_NE(editor, 0);
        const char* titles[] = {"Thornvale II Map Editor", "Mission Properties", "Events List"};
        std::vector<TRect> places(3);
        std::vector<thorn::FrameEdges> frames(3);
        // Up once each window is mapped and has stood still for a while.
        bool up = false;
        int still = 0;
        for (int i = 0; i < 200 && !up; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::vector<TRect> now;
            for (size_t w = 0; w < places.size(); ++w) {
                const unsigned long window = screen->WindowTitled(titles[w]);
                now.push_back(screen->PlaceOf(window));
                frames[w] = FrameOf(*screen, window);
            }
            const bool all = std::all_of(now.begin(), now.end(), [](const TRect& r) { return r.Right > r.Left; });
            still = all && now == places ? still + 1 : 0;
            places = now;
            up = still >= 10;
        }
        const TSize screenSize = screen->Size();
        const std::vector<unsigned long> workArea = screen->Property(screen->Root(), "_NET_WORKAREA");
        if (up) Shot(*screen, output / ("places_" + std::string(size) + ".png"));
        // The editor ends with its display, and with-wm then.
        server.Stop();
        if (Ended(editor, 30) == -1) kill(editor, SIGKILL);
        ASSERT_TRUE(up) << "the editor's windows never all showed";
        const TRect area = workArea.size() >= 4
                               ? TRect{static_cast<int>(workArea[0]), static_cast<int>(workArea[1]),
                                       static_cast<int>(workArea[0] + workArea[2]),
                                       static_cast<int>(workArea[1] + workArea[3])}
                               : TRect{0, 0, screenSize.cx, screenSize.cy};
        std::vector<TRect> framed;
        for (size_t i = 0; i < places.size(); ++i) {
            SCOPED_TRACE(titles[i]);
            framed.push_back(thorn::FramedRect(places[i], frames[i]));
            TRect reach = framed.back();
            // The main window is never lower than 580 rows inside: at
            // 800x600 its frame passes the screen's bottom.
            if (i == 0 && places[i].Height() <= 580) reach.Bottom = std::min(reach.Bottom, area.Bottom);
            EXPECT_TRUE(thorn::WhollyInside(reach, {}, area))
                << framed.back().Left << ", " << framed.back().Top << " - " << framed.back().Right << ", "
                << framed.back().Bottom;
        }
        EXPECT_FALSE(Overlap(framed[1], framed[2])) << "the tool windows over each other";
        // The menu and tool bar take the main window's top 50 rows.
        for (size_t i = 1; i < places.size(); ++i)
            EXPECT_TRUE(!Overlap(framed[i], framed[0]) || framed[i].Top >= places[0].Top + 50) << titles[i];
    }
}

}  // namespace
