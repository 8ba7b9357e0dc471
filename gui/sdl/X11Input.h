#pragma once

struct SDL_SysWMmsg;

namespace thorn {

// What an X event SDL passes on tells of the input beyond SDL's own events.
enum class X11InputNote {
    Other,
    // The keyboard came to a window of the program or left it, or the
    // server told the keys held (as the keyboard or the pointer came).
    // SDL's key events that follow are its account of the keys held then:
    // the shift keys held as pressed (they were pressed elsewhere), keys
    // let go meanwhile, or every key as released as the keyboard leaves.
    KeysHeld,
    // Input went elsewhere, or may have: another client took the keyboard
    // or let it go (the focus events of a grab, which SDL passes over), or
    // a mouse button went down, whichever client it went to (the raw input
    // SDL hears on the root). A window manager takes a key or a click of
    // its own so: Alt with an arrow, Alt with a click.
    Elsewhere,
};

// Other on another video driver.
X11InputNote X11InputNoteOf(const SDL_SysWMmsg* message);

}  // namespace thorn
