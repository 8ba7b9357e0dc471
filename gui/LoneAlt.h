#pragma once

#include "gui/Host.h"

namespace thorn {

// Whether Alt goes down and comes up alone: no other key pressed between,
// no mouse button, no grab of the keyboard by another program, wherever
// that input went (a pop-up, another window, a control or a window manager
// that took it first). A menu bar enters menu mode only on
// such a release. The application holds one for the keyboard; every input a
// host reports is noted here before any window routes it.
class LoneAlt {
public:
    // A key going down or up.
    void Key(const KeyInput& input);
    // Whatever else makes the Alt held no lone Alt: a mouse button pressed
    // or the wheel turned, in any window or another program's, another
    // program taking the keyboard for a while, the program itself using
    // the press (to leave menu mode).
    void Spoil();
    // Whether the key being handled is the release of an Alt that went
    // down alone.
    bool Released() const { return released_; }

private:
    bool alone_ = false;     // Alt went down and nothing else came since
    bool released_ = false;  // the key being handled is that Alt's release
};

}  // namespace thorn
