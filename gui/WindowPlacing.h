#pragma once

#include <span>

#include "platform/Types.h"

// Where windows stand on the desktop: the one rule every window is placed
// by, restored or new. Places are those of a window's inside (what a form's
// bounds hold); a window manager's frame lies around it.
namespace thorn {

// How far a window manager's frame reaches past a window's inside on each
// side (all 0 without a window manager, or for a window without a frame).
struct FrameEdges {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const FrameEdges&) const = default;
};

// The frame around a window's inside, and the inside within a frame.
TRect FramedRect(const TRect& inside, FrameEdges frame);
TRect InsideOfFrame(const TRect& framed, FrameEdges frame);

// Whether the whole of the window's frame lies in the work area.
bool WhollyInside(const TRect& inside, FrameEdges frame, const TRect& workArea);

// The window moved into the work area, frame and all; a window whose frame
// is larger than the work area is shrunk to fit it too. Its top and left
// edges win when nothing else can: the title bar stays reachable. A window
// already inside stays as it is.
TRect PlaceInside(const TRect& inside, FrameEdges frame, const TRect& workArea);

// A main window's frame and where its bars end: a window placed by it is
// never over its menu and tool bar (above barsBottom, a screen row).
struct MainWindowPlace {
    TRect frame;
    int barsBottom = 0;
};

// A tool window of the given inside size with no place of its own: beside
// the main window where there is room (right, then left, from the main
// window's top down), else at the work area's right over the main window
// below its bars; never over the frames already taken by other tool
// windows while any such place is left; inside the work area in any case.
TRect PlaceBeside(TSize inside, FrameEdges frame, const MainWindowPlace& main, std::span<const TRect> taken,
                  const TRect& workArea);

}  // namespace thorn
