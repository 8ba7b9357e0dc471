#include <gtest/gtest.h>

#include <vector>

#include "gui/WindowPlacing.h"

// The one rule windows are placed by, on desktops of several sizes, bare
// and with window managers' frames. Places are a window's inside.
namespace {

using thorn::FrameEdges;
using thorn::MainWindowPlace;

constexpr FrameEdges kBare{};
constexpr FrameEdges kOpenbox{1, 20, 1, 5};
constexpr FrameEdges kXfwm{5, 29, 5, 5};

TRect Sized(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

TEST(WindowPlacing, AWindowIsMovedIntoTheWorkAreaFrameAndAllAndShrunkOnlyWhenLarger) {
    struct Case {
        const char* name;
        TRect area;
        FrameEdges frame;
        TRect window;
        TRect placed;
    } const cases[] = {
        {"inside stays", Sized(0, 0, 1280, 1024), kBare, Sized(100, 100, 300, 200), Sized(100, 100, 300, 200)},
        {"partly above and left", Sized(0, 0, 1280, 1024), kBare, Sized(-300, -200, 671, 580),
         Sized(0, 0, 671, 580)},
        {"its title bar below the top", Sized(0, 0, 1280, 1024), kXfwm, Sized(0, 0, 671, 580),
         Sized(5, 29, 671, 580)},
        {"past the right", Sized(0, 0, 1024, 768), kBare, Sized(976, 0, 300, 380), Sized(724, 0, 300, 380)},
        {"past the bottom", Sized(0, 0, 800, 600), kBare, Sized(248, 480, 480, 240), Sized(248, 360, 480, 240)},
        {"frame taller than the area", Sized(0, 0, 1024, 768), kOpenbox, Sized(0, 0, 972, 764),
         Sized(1, 20, 972, 743)},
        {"larger every way", Sized(0, 0, 800, 600), kXfwm, Sized(50, 50, 2000, 1500), Sized(5, 29, 790, 566)},
        {"under a panel at the top", Sized(0, 24, 1280, 974), kOpenbox, Sized(10, 0, 300, 300),
         Sized(10, 44, 300, 300)},
        {"above a task bar", Sized(0, 0, 1280, 998), kXfwm, Sized(6, 700, 940, 400), Sized(6, 593, 940, 400)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRect placed = thorn::PlaceInside(c.window, c.frame, c.area);
        EXPECT_EQ(placed, c.placed);
        EXPECT_TRUE(thorn::WhollyInside(placed, c.frame, c.area));
        EXPECT_EQ(thorn::PlaceInside(placed, c.frame, c.area), placed) << "placed again, it stays";
    }
}

bool Overlap(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Tool windows placed one after the other: each inside the work area,
// beside the main window where there is room, else never above its bars;
// never over each other.
TEST(WindowPlacing, ToolWindowsStandBesideTheMainWindowClearOfItsBarsAndOfEachOther) {
    struct Case {
        const char* name;
        TRect area;
        FrameEdges frame;
        TRect main;  // inside
        int bars;    // the bars' height below the main window's top
        std::vector<TSize> tools;
        std::vector<TPoint> at;  // where each stands (inside)
    } const cases[] = {
        {"room on the right", Sized(0, 0, 1280, 1024), kOpenbox, Sized(6, 30, 940, 764), 60,
         {{300, 380}, {300, 380}}, {{948, 30}, {948, 435}}},
        {"room on the left", Sized(0, 0, 1280, 1024), kBare, Sized(600, 100, 600, 600), 60,
         {{355, 393}, {336, 388}}, {{245, 100}, {264, 493}}},
        {"centred, no room beside", Sized(0, 0, 1280, 1024), kBare, Sized(304, 222, 671, 580), 60,
         {{355, 393}, {336, 388}, {334, 373}}, {{925, 282}, {589, 282}, {255, 282}}},
        {"1024 x 768 under a manager", Sized(0, 0, 1024, 768), kXfwm, Sized(5, 29, 940, 734), 60,
         {{300, 380}, {300, 380}}, {{719, 118}, {409, 118}}},
        {"800 x 600 bare", Sized(0, 0, 800, 600), kBare, Sized(64, 10, 671, 580), 60,
         {{355, 393}, {336, 388}}, {{445, 70}, {109, 70}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MainWindowPlace main{thorn::FramedRect(c.main, c.frame), c.main.Top + c.bars};
        std::vector<TRect> taken;
        for (size_t i = 0; i < c.tools.size(); ++i) {
            SCOPED_TRACE(i);
            const TRect r = thorn::PlaceBeside(c.tools[i], c.frame, main, taken, c.area);
            EXPECT_EQ((TPoint{r.Left, r.Top}), c.at[i]);
            EXPECT_EQ((TSize{r.Width(), r.Height()}), c.tools[i]);
            const TRect framed = thorn::FramedRect(r, c.frame);
            EXPECT_TRUE(thorn::WhollyInside(r, c.frame, c.area));
            EXPECT_TRUE(!Overlap(framed, main.frame) || framed.Top >= main.barsBottom);
            for (const TRect& t : taken) EXPECT_FALSE(Overlap(framed, t));
            taken.push_back(framed);
        }
    }
}

// With no room left anywhere the window still stands inside the work area,
// below the main window's bars.
TEST(WindowPlacing, AToolWindowWithNoFreeRoomStaysInsideTheWorkArea) {
    const TRect area = Sized(0, 0, 640, 480);
    const MainWindowPlace main{area, 60};
    const TRect taken[] = {Sized(0, 60, 640, 420)};
    const TRect r = thorn::PlaceBeside({355, 393}, kBare, main, taken, area);
    EXPECT_EQ(r, Sized(285, 60, 355, 393));
}

}  // namespace
