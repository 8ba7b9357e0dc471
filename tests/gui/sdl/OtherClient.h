#pragma once

struct _XDisplay;
union SDL_Event;

// A client of the X display besides the program and the test's hand (its
// own connection): it takes the keyboard for a while, as a window manager
// does for a key of its own, and marks how far the server has come in what
// it sends the program, so that a test can see the program has handled
// everything before the mark (where nothing else would show it).
namespace thorn::test {

class OtherClient {
public:
    // On the display DISPLAY names. Hears the program's SDL events from
    // here on: SDL's video must have started.
    OtherClient();
    ~OtherClient();
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool Ok() const { return display_ != nullptr; }
    // Takes the keyboard (a grab on the root) and lets it go; the server
    // has done each when the call returns.
    bool GrabKeyboard();
    void UngrabKeyboard();
    // Changes a property of the program's X window: the program hears of
    // it after everything the server sent it before. Reached tells once the
    // program's SDL has taken in the last mark.
    void Mark(unsigned long window);
    bool Reached() const { return heard_ >= marks_; }

private:
    static int Watch(void* self, SDL_Event* event);

    ::_XDisplay* display_ = nullptr;
    unsigned long atom_ = 0;
    int marks_ = 0;
    int heard_ = 0;
};

}  // namespace thorn::test
