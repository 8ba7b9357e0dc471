#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
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
// each other and of the main window's bars, and started again and again
// puts each window back where it stood, from the first start on.
// "places_off_screen.png", "places_1024x768.png", "places_800x600.png" and
// "places_start_*.png" in the working folder show the screens, to look at.
// Places in failures read as the corners they are.
static void PrintTo(const TRect& r, std::ostream* out) {
    *out << "(" << r.Left << ", " << r.Top << ") - (" << r.Right << ", " << r.Bottom << ")";
}

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

// The with-wm name of the window manager the test runs under ("" on the
// bare server).
std::string RunsUnder() {
    const char* name = std::getenv("WITH_WM");
    return name ? name : "";
}

const char* const kTitles[] = {"Thornvale II Map Editor", "Mission Properties", "Events List"};

// The editor's windows as they stand on a screen: their insides, the
// frames around them (as the manager tells them, else as the server has
// its frame windows), and the screen's work area.
struct Standing {
    std::vector<TRect> insides, frames;
    TRect area;
};

// The editor's program started in the current folder on an X server of its
// own of the size given, under the window manager the test runs under (if
// any), as on a desktop of that size.
class ProgramOnItsOwnScreen {
public:
    ProgramOnItsOwnScreen(int firstDisplay, const char* size) : server_(firstDisplay, size) {
        if (!server_.Screen()) return;
        std::vector<std::string> program{THORN_EDITOR_PROGRAM};
        if (const std::string manager = RunsUnder(); !manager.empty())
            program.insert(program.begin(), {(thorn::test::SourceDir() / "tests/support/with-wm").string(), manager});
        // The session with-wm starts for xfwm4 is one of its own.
        pid_ = thorn::test::Spawn(
            program, {{"DISPLAY", server_.Display()}, {"SDL_VIDEODRIVER", "x11"}, {"WITH_WM_SESSION", ""}});
    }
    ~ProgramOnItsOwnScreen() {
        server_.Stop();
        if (pid_ != 0 && thorn::test::Ended(pid_, 30) == -1) kill(pid_, SIGKILL);
    }
    bool Started() { return server_.Screen() && pid_ != 0; }
    thorn::test::XScreen& Screen() { return *server_.Screen(); }

    // Once the first windows of kTitles, as many as given, are mapped and
    // have stood still for a while: where they stand (nothing when they
    // never all showed).
    std::optional<Standing> WhenUp(size_t windows = std::size(kTitles)) {
        thorn::test::XScreen& screen = Screen();
        std::vector<TRect> insides(windows), frames(windows);
        int still = 0;
        for (int i = 0; i < 200 && still < 10; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::vector<TRect> now, around;
            for (const char* title : std::span(kTitles).first(windows)) {
                const unsigned long window = screen.WindowTitled(title);
                now.push_back(screen.PlaceOf(window));
                const std::vector<unsigned long> e = screen.Property(window, "_NET_FRAME_EXTENTS");
                around.push_back(e.size() == 4 ? TRect{now.back().Left - static_cast<int>(e[0]),
                                                       now.back().Top - static_cast<int>(e[2]),
                                                       now.back().Right + static_cast<int>(e[1]),
                                                       now.back().Bottom + static_cast<int>(e[3])}
                                               : screen.FrameAround(window));
            }
            const bool all = std::all_of(now.begin(), now.end(), [](const TRect& r) { return r.Right > r.Left; });
            still = all && now == insides && around == frames ? still + 1 : 0;
            insides = now;
            frames = around;
        }
        if (still < 10) return std::nullopt;
        const TSize size = screen.Size();
        const std::vector<unsigned long> workArea = screen.Property(screen.Root(), "_NET_WORKAREA");
        const TRect area = workArea.size() >= 4
                               ? TRect{static_cast<int>(workArea[0]), static_cast<int>(workArea[1]),
                                       static_cast<int>(workArea[0] + workArea[2]),
                                       static_cast<int>(workArea[1] + workArea[3])}
                               : TRect{0, 0, size.cx, size.cy};
        return Standing{insides, frames, area};
    }

    // Closed from its main window's frame, as its user does; answers
    // whether it ended then.
    bool Close() {
        Screen().Close(Screen().WindowTitled(kTitles[0]));
        const int status = thorn::test::Ended(pid_, 30);
        if (status != -1) pid_ = 0;
        return status != -1;
    }

private:
    thorn::test::OwnXServer server_;
    pid_t pid_ = 0;
};

// On a screen 1024 x 768 and 800 x 600, with the shipped settings: every
// window inside the work area, frame and all (its title bar on the
// screen), the tool windows clear of each other and of the main window's
// menu and tool bar.
TEST(WindowPlacesOnSmallScreens, EveryWindowOfTheShippedSettingsIsInsideAndClear) {
    const fs::path output = fs::current_path();
    for (const char* size : {"1024x768", "800x600"}) {
        SCOPED_TRACE(size);
        thorn::test::StartFolderCopy folder;
        ProgramOnItsOwnScreen program(1000, size);
        ASSERT_TRUE(program.Started());
        const std::optional<Standing> up = program.WhenUp();
        ASSERT_TRUE(up) << "the editor's windows never all showed";
        Shot(program.Screen(), output / ("places_" + std::string(size) + ".png"));
        const std::vector<TRect>& framed = up->frames;
        for (size_t i = 0; i < framed.size(); ++i) {
            SCOPED_TRACE(kTitles[i]);
            TRect reach = framed[i];
            // The main window is never lower than 580 rows inside: at
            // 800x600 its frame passes the screen's bottom.
            if (i == 0 && up->insides[i].Height() <= 580) reach.Bottom = std::min(reach.Bottom, up->area.Bottom);
            EXPECT_TRUE(thorn::WhollyInside(reach, {}, up->area))
                << framed[i].Left << ", " << framed[i].Top << " - " << framed[i].Right << ", " << framed[i].Bottom;
        }
        EXPECT_FALSE(Overlap(framed[1], framed[2])) << "the tool windows over each other";
        // The menu and tool bar take the main window's top 50 rows.
        for (size_t i = 1; i < framed.size(); ++i)
            EXPECT_TRUE(!Overlap(framed[i], framed[0]) || framed[i].Top >= up->insides[0].Top + 50) << kTitles[i];
    }
}

// The places of the main window and the tool windows the settings file
// holds.
std::vector<TRect> SavedPlaces(const fs::path& ini) {
    const auto kept = thorn::test::Attributes(ini);
    std::vector<TRect> places;
    for (const char* form : {"MainForm", "MissForm", "EventsForm"}) {
        const std::string at = std::string("Thornvale/Editor/") + form + "/";
        const auto value = [&](const char* side) {
            const auto it = kept.find(at + side);
            return it == kept.end() ? -1 : std::stoi(it->second);
        };
        places.push_back({value("Left"), value("Top"), value("Left") + value("Width"), value("Top") + value("Height")});
    }
    return places;
}

// Started five times on a screen 1024 x 768 and closed each time, from the
// shipped settings (which show the tool windows) or from none (the main
// window alone): each window stands where the settings file says it
// stood, and every start where it stood at the first.
TEST(WindowPlacesOnSmallScreens, FiveStartsLeaveEveryWindowWhereTheFirstPutIt) {
    const fs::path output = fs::current_path();
    for (const bool shipped : {true, false}) {
        SCOPED_TRACE(shipped ? "the shipped settings" : "no settings file");
        thorn::test::StartFolderCopy folder;
        if (!shipped) fs::remove(folder / "ini.xml");
        std::vector<TRect> first;
        for (int start = 1; start <= 5; ++start) {
            SCOPED_TRACE(start);
            ProgramOnItsOwnScreen program(1000, "1024x768");
            ASSERT_TRUE(program.Started());
            const std::optional<Standing> up = program.WhenUp(shipped ? std::size(kTitles) : 1);
            ASSERT_TRUE(up) << "the editor's windows never all showed";
            if (start == 1 || start == 5)
                Shot(program.Screen(), output / ("places_start_" + std::to_string(start) + (shipped ? "" : "_new") +
                                                 ".png"));
            ASSERT_TRUE(program.Close()) << "the editor did not end";
            std::vector<TRect> saved = SavedPlaces(folder / "ini.xml");
            saved.resize(up->insides.size());
            EXPECT_EQ(saved, up->insides) << "saved elsewhere than shown";
            if (start == 1) first = up->insides;
            EXPECT_EQ(up->insides, first);
        }
    }
}

}  // namespace
