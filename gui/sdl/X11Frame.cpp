#include "gui/sdl/X11Frame.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

#include "gui/sdl/X11Handle.h"

namespace thorn {

namespace {

// The Motif hints' fields and bits, as window managers read them.
enum : long {
    kHintFunctions = 1,
    kHintDecorations = 2,
};
enum : long {
    kFunctionResize = 2,
    kFunctionMove = 4,
    kFunctionMinimize = 8,
    kFunctionMaximize = 16,
    kFunctionClose = 32,
};
enum : long {
    kDecorBorder = 2,
    kDecorResizeHandle = 4,
    kDecorTitle = 8,
    kDecorMenu = 16,
    kDecorMinimize = 32,
    kDecorMaximize = 64,
};

struct MotifHints {
    long flags = kHintFunctions | kHintDecorations;
    long functions = kFunctionMove;
    long decorations = 0;
    long inputMode = 0;
    long status = 0;
};

// As the desktop draws a form's frame: no frame at all for bsNone; a title
// and a border for the others, with resize handles for the sizeable ones; a
// close box (and window menu) with the system menu icon; minimise and
// maximise boxes only for a single or sizeable border (a dialog's or a tool
// window's frame has none), and only with the system menu.
MotifHints MotifHintsOf(const X11FrameHints& hints) {
    MotifHints motif;
    const TFormBorderStyle style = hints.style;
    const bool sizeable = style == bsSizeable || style == bsSizeToolWin;
    const bool systemMenu = hints.icons.Contains(biSystemMenu);
    const bool boxes = systemMenu && (style == bsSingle || style == bsSizeable) && !hints.tool;
    if (sizeable) motif.functions |= kFunctionResize;
    if (systemMenu) motif.functions |= kFunctionClose;
    if (boxes && hints.icons.Contains(biMinimize) && !hints.modal) motif.functions |= kFunctionMinimize;
    if (boxes && hints.icons.Contains(biMaximize)) motif.functions |= kFunctionMaximize;
    if (style == bsNone) return motif;
    motif.decorations = kDecorBorder | kDecorTitle;
    if (sizeable) motif.decorations |= kDecorResizeHandle;
    if (systemMenu) motif.decorations |= kDecorMenu;
    if (motif.functions & kFunctionMinimize) motif.decorations |= kDecorMinimize;
    if (motif.functions & kFunctionMaximize) motif.decorations |= kDecorMaximize;
    return motif;
}

Atom AtomOf(Display* display, const char* name) { return XInternAtom(display, name, False); }

// The atoms of _NET_WM_STATE, with modal and above added or taken out.
void SetModalState(Display* display, Window window, bool modal, bool above) {
    const Atom state = AtomOf(display, "_NET_WM_STATE"), modalAtom = AtomOf(display, "_NET_WM_STATE_MODAL"),
               aboveAtom = AtomOf(display, "_NET_WM_STATE_ABOVE");
    std::vector<Atom> atoms = X11ReadAtoms(display, window, state);
    std::erase_if(atoms, [&](Atom a) { return a == modalAtom || a == aboveAtom; });
    if (modal) atoms.push_back(modalAtom);
    if (above) atoms.push_back(aboveAtom);
    X11WriteAtoms(display, window, state, atoms);
}

}  // namespace

bool X11SetFrameHints(SDL_Window* window, const X11FrameHints& hints) {
    const X11Handle x = X11HandleOf(window);
    if (!x) return false;
    Display* display = x.display;
    const MotifHints motif = MotifHintsOf(hints);
    const Atom motifAtom = AtomOf(display, "_MOTIF_WM_HINTS");
    XChangeProperty(display, x.window, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&motif), 5);

    const char* typeName = hints.dialog ? "_NET_WM_WINDOW_TYPE_DIALOG"
                           : hints.tool ? "_NET_WM_WINDOW_TYPE_UTILITY"
                                        : "_NET_WM_WINDOW_TYPE_NORMAL";
    const Atom type = AtomOf(display, typeName);
    XChangeProperty(display, x.window, AtomOf(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);

    const X11Handle owner = X11HandleOf(hints.owner);
    if (owner && owner.window != x.window)
        XSetTransientForHint(display, x.window, owner.window);
    else
        XDeleteProperty(display, x.window, XA_WM_TRANSIENT_FOR);
    SetModalState(display, x.window, hints.modal && owner, hints.modal || hints.stayOnTop);
    XFlush(display);
    return true;
}

}  // namespace thorn
