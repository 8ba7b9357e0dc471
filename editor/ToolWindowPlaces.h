#pragma once

#include <vector>

#include "platform/Components.h"
#include "platform/Types.h"

class TCustomForm;

namespace thorn {

// The mission, events and warnings windows come up where they can be used,
// placed by the main window's ToolWindowPlaces.
void PlaceAsToolWindow(TCustomForm& tool);

// A tool window about to show whose place is not its own (the settings
// kept none, or one that does not lie wholly in the work area, frame and
// all, or over another tool window on the screen) is put beside the main
// window, never over its menu and tool bar nor over the other tool windows;
// from then on its place is its own and is kept. Tool windows mark their
// place as not their own with poDefaultPosOnly until they have one
// (poDesigned).
// A window manager may tell the frames only once it has framed the windows:
// the windows put beside the main window with a frame guessed are put there
// again, by the same rule and in the same order, as the frames are read
// (their own and the main window's), as long as each stands where it was
// put.
class ToolWindowPlaces {
public:
    // The tool window is about to show.
    void Show(TCustomForm& tool);
    // The frame of a window (a tool window, or the main window) was read
    // once it showed.
    void FrameRead(const TCustomForm& window);

private:
    struct Put {
        ComponentRef<TCustomForm> tool;
        TRect place;
        bool framed = false;  // its own frame read
    };
    std::vector<Put> put_;
    bool mainFramed_ = false;
};

}  // namespace thorn
