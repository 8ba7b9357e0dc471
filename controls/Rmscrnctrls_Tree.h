#pragma once

#include "controls/Rmpathtreeview.h"
#include "controls/ScreenControl.h"
#include "gui/TreeView.h"

// The tree and path tree of the screen pop-up controls: trees that drop down
// below an owner control in a pop-up window of their own (see
// thorn::ScreenControl), for choices shaped as trees. Each is made invisible
// by its owner, shown with DropDown or SetScreenBounds and Show, and closes
// on a press outside it, on Escape and when its owner's window loses the
// keyboard. The owner forwards nothing by hand: the keys typed in its
// window reach the open tree first.
class TrmCustomScreenTreeView : public thorn::ScreenControl<TCustomTreeView> {};

// The path tree view's handlers are those of the path tree view.
class TrmCustomScreenPathTreeView : public thorn::ScreenControl<TrmCustomPathTreeView> {};
