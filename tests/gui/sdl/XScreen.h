#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bitmap/Pix32.h"
#include "gui/WindowPlacing.h"

struct _XDisplay;

// The X display the real-window tests run on (Xvfb): the pointer and the
// keyboard driven through the server's test extension, as a user's hand
// would, and the screen read back from the root window. X errors on its
// connection are noted and end nothing.
namespace thorn::test {

class XScreen {
public:
    // The display named (null: the one DISPLAY names).
    explicit XScreen(const char* display = nullptr);
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool Ok() const { return display_ != nullptr; }
    // Moves the pointer there; the server has moved it on return.
    void MoveTo(int x, int y);
    // Moves there, presses and releases the left button. The window under
    // the pointer takes the keyboard first, as a window manager gives it on
    // a click (Xvfb has none).
    void Click(int x, int y);
    // Holds down, and lets go, the modifier keys named ("Control_L"). A
    // click with keys held lets them go only once the program has taken
    // the click: a window manager's grab of the button (xfwm4's, to focus
    // on a click) hands the press on later than the keys that follow it.
    void Hold(const std::vector<const char*>& modifiers);
    void LetGo(const std::vector<const char*>& modifiers);
    // A click where the pointer stands, and a key with the modifier keys
    // named, that a window manager takes for itself (a press on its frame,
    // its Alt+Tab): the test's connection holds the pointer, or the
    // keyboard, around them, so no program's window hears of them. False
    // when the pointer or the keyboard is held already.
    bool ClickTaken();
    bool KeyTaken(const char* keysym, const std::vector<const char*>& modifiers = {});
    // Moves there, presses and lets go the left button, and nothing else:
    // the keyboard goes where a window manager puts it.
    void PressAndLetGo(int x, int y);
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
    // Whether a window manager runs on the display, announced or not.
    bool Managed();
    // The running window manager's name ("" when none runs, or it
    // announces nothing).
    std::string ManagerName();
    // The client window titled so (0: none), its class (the second part of
    // WM_CLASS) and its icon name.
    unsigned long WindowTitled(std::string_view title);
    std::string ClassOf(unsigned long window);
    std::string IconNameOf(unsigned long window);
    // A property of 32-bit items (atoms, windows, cardinals) of a window:
    // its items, empty when it is not there.
    std::vector<unsigned long> Property(unsigned long window, const char* name);
    // The name of an atom.
    std::string AtomName(unsigned long atom);
    // The root window.
    unsigned long Root();
    // A window of the test's own that never shows, and its end.
    unsigned long MakeHiddenWindow();
    void DestroyWindow(unsigned long window);
    // Sets a window's property of one window id (WINDOW), or takes it away.
    void SetWindowProperty(unsigned long window, const char* name, unsigned long value);
    void DeleteProperty(unsigned long window, const char* name);
    // Asks the window manager to iconify the client window, as a task bar
    // or a pager does (WM_CHANGE_STATE).
    void Iconify(unsigned long window);
    // Whether the window manager keeps the client window iconified
    // (WM_STATE).
    bool Iconic(unsigned long window);
    // The window that has the keyboard (0: none), and the keyboard given
    // to a window (0: to none), as a window manager does.
    unsigned long FocusedWindow();
    void Focus(unsigned long window);
    // The keyboard given to whichever window the pointer is in
    // (PointerRoot), as a manager that lets the keys follow the pointer
    // does while the pointer is between windows.
    void FocusFollowsPointer();
    // Where a window's inside stands on the screen, as the server has it.
    TRect PlaceOf(unsigned long window);
    // The middle of a client window's title bar: the band of its window
    // manager's frame (its ancestor on the root) above it. A window that
    // stands on the root itself has none: then a point near its own top.
    TPoint TitleBarOf(unsigned long window);
    // Where the frame around a client window stands, as the server has it:
    // its ancestor on the root, border and all (the window itself where
    // nothing frames it).
    TRect FrameAround(unsigned long window);
    // Asks a client window to close, as its frame's close box does
    // (WM_DELETE_WINDOW).
    void Close(unsigned long window);
    // The screen's size.
    TSize Size();
    // Makes a window, destroys it and asks the server to show it: the
    // server answers with an error (BadWindow), which this waits for.
    void AskAboutAGoneWindow();
    // ---- a window manager of the test's own, on a bare server
    // Takes the window manager's place: the program's requests to map,
    // move and size its windows then come to this connection. False when a
    // window manager runs.
    bool TakeWindowRequests();
    // Answers the requests that came: moves and sizes at once; maps when
    // asked to map, else only notes the windows it was asked to map.
    void AnswerRequests(bool map);
    // Maps every window it was ever asked to map, late (whether or not the
    // program still wants it).
    void MapEveryWindowAskedFor();
    // From now on, maps a window inside a frame window of its own, with
    // edges of these sizes within the frame window's own border of the
    // width given (the frame's corner where the window was asked for, as
    // managers do), and marks it managed (WM_STATE); it tells the frame's
    // edges, border and all (_NET_FRAME_EXTENTS), once the window is
    // mapped, if asked to, never before. A window unmapped stays marked
    // until let go of. A window moved once framed has its frame's border
    // put outside the corner asked for, if asked to (as twm does).
    void FrameWindows(thorn::FrameEdges edges, bool tellOnceMapped = false, int border = 0,
                      bool borderOutsideMoves = false);
    void LetGo(unsigned long window);
    // Whether the window is on the screen.
    bool Viewable(unsigned long window);

    // Saves what the screen shows as a 24-bit BMP.
    void Save(const std::filesystem::path& file);

private:
    void FocusWindowUnderPointer();

    ::_XDisplay* display_ = nullptr;
    std::vector<unsigned long> askedToMap_;
    // The frames' edges (none: windows are mapped bare) and border, and
    // each framed window's frame as it was made.
    std::optional<thorn::FrameEdges> frameEdges_;
    bool tellFrame_ = false;
    int frameBorder_ = 0;
    bool borderOutsideMoves_ = false;
    struct Framed {
        unsigned long frame = 0;
        thorn::FrameEdges edges;
        int border = 0;
        bool borderOutsideMoves = false;
    };
    std::map<unsigned long, Framed> frames_;
};

}  // namespace thorn::test
