#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/Pix32.h"

struct _XDisplay;

// The X display the real-window tests run on (Xvfb): the pointer and the
// keyboard driven through the server's test extension, as a user's hand
// would, and the screen read back from the root window.
namespace thorn::test {

class XScreen {
public:
    // The display named (null: the one DISPLAY names).
    explicit XScreen(const char* display = nullptr);
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool Ok() const { return display_ != nullptr; }
    void MoveTo(int x, int y);
    // Moves there, presses and releases the left button. The window under
    // the pointer takes the keyboard first, as a window manager gives it on
    // a click (Xvfb has none).
    void Click(int x, int y);
    // The same with the modifier keys named ("Control_L") held around it.
    void Click(int x, int y, const std::vector<const char*>& modifiers);
    // Moves there and presses the left button; lets it go.
    void Press(int x, int y);
    void Release();
    // Turns the wheel at (x, y) by notches: towards the screen (away from
    // the user) for a positive number, towards the user for a negative one.
    void Wheel(int x, int y, int notches);
    // Gives the keyboard to the top-level window at (x, y): without a
    // window manager nobody does.
    void FocusAt(int x, int y);
    // Presses and lets go the key of keysym, with Shift held when asked.
    void Key(unsigned long keysym, bool shift = false);
    // Presses and releases the key of an X key symbol ("Return", "F10",
    // "a") with the modifier keys named ("Control_L", "Alt_L", "Shift_L")
    // held around it.
    void Key(const char* keysym, const std::vector<const char*>& modifiers = {});
    // Types the text's characters (ASCII), Shift held where the keyboard
    // needs it.
    void Type(std::string_view text);
    // What the screen shows.
    void Grab(TBitmap32& into);
    // Whether a window manager runs on the display.
    bool Managed();
    // The client window titled so (0: none), its class (the second part of
    // WM_CLASS) and its icon name.
    unsigned long WindowTitled(std::string_view title);
    std::string ClassOf(unsigned long window);
    std::string IconNameOf(unsigned long window);
    // The window that has the keyboard (0: none).
    unsigned long FocusedWindow();
    // Where a window's inside stands on the screen, as the server has it.
    TRect PlaceOf(unsigned long window);
    // The screen's size.
    TSize Size();
    // Makes a window, destroys it and asks the server to show it: the
    // server answers with an error (BadWindow), which this waits for.
    void AskAboutAGoneWindow();
    // Saves what the screen shows as a 24-bit BMP.
    void Save(const std::filesystem::path& file);

private:
    void FocusWindowUnderPointer();

    ::_XDisplay* display_ = nullptr;
};

}  // namespace thorn::test
