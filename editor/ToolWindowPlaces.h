#pragma once

class TCustomForm;

namespace thorn {

// The mission, events and warnings windows come up where they can be used.
// One about to show whose place is not its own (the settings kept none,
// or one that does not lie wholly in the work area, frame and all, or over
// another tool window on the screen) is put
// beside the main window, never over its menu and tool bar nor over the
// other tool windows; from then on its place is its own and is kept.
// Tool windows mark their place as not their own with poDefaultPosOnly
// until they have one (poDesigned).
void PlaceToolWindow(TCustomForm& tool);

}  // namespace thorn
