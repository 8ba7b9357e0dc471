#include "gui/sdl/X11Input.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XI2.h>

namespace thorn {

namespace {

// Whether the event is XInput's raw button press.
bool RawButtonPress(const XEvent& e) {
    if (e.type != GenericEvent || e.xcookie.evtype != XI_RawButtonPress) return false;
    // The extension's number, asked of the server once.
    static const int opcode = [&] {
        int major = 0, event = 0, error = 0;
        return XQueryExtension(e.xcookie.display, "XInputExtension", &major, &event, &error) ? major : -1;
    }();
    return e.xcookie.extension == opcode;
}

}  // namespace

X11InputNote X11InputNoteOf(const SDL_SysWMmsg* message) {
    if (!message || message->subsystem != SDL_SYSWM_X11) return X11InputNote::Other;
    const XEvent& e = message->msg.x11.event;
    switch (e.type) {
        case FocusIn:
        case FocusOut:
            return e.xfocus.mode == NotifyGrab || e.xfocus.mode == NotifyUngrab ? X11InputNote::Elsewhere
                                                                               : X11InputNote::KeysHeld;
        case KeymapNotify: return X11InputNote::KeysHeld;
        default: return RawButtonPress(e) ? X11InputNote::Elsewhere : X11InputNote::Other;
    }
}

}  // namespace thorn
