#include "OtherClient.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace thorn::test {

OtherClient::OtherClient() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    atom_ = XInternAtom(display_, "_THORN_TEST_MARK", False);
    SDL_AddEventWatch(&OtherClient::Watch, this);
}

OtherClient::~OtherClient() {
    if (!display_) return;
    SDL_DelEventWatch(&OtherClient::Watch, this);
    XCloseDisplay(display_);
}

int OtherClient::Watch(void* self, SDL_Event* event) {
    auto& client = *static_cast<OtherClient*>(self);
    if (event->type != SDL_SYSWMEVENT || !event->syswm.msg || event->syswm.msg->subsystem != SDL_SYSWM_X11) return 1;
    const XEvent& x = event->syswm.msg->msg.x11.event;
    if (x.type == PropertyNotify && x.xproperty.atom == client.atom_) ++client.heard_;
    return 1;
}

bool OtherClient::GrabKeyboard() {
    const bool taken = XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync,
                                     CurrentTime) == GrabSuccess;
    XSync(display_, False);
    return taken;
}

void OtherClient::UngrabKeyboard() {
    XUngrabKeyboard(display_, CurrentTime);
    XSync(display_, False);
}

void OtherClient::Mark(unsigned long window) {
    const long value = ++marks_;
    XChangeProperty(display_, window, atom_, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
    XSync(display_, False);
}

}  // namespace thorn::test
