#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Timers.h"

class TCustomForm;

namespace thorn::test {

class StallWatch;

// The steps of a hand on the real windows: each waits for its moment (a
// window shown and painted, a command done), then acts. They run from a
// timer, so they go on while the editor's modal loops run. A hand that
// waits longer than its patience for one step, or has done its last step
// longer ago, closes the modal forms (which then answer mrAbort), so that
// the test fails rather than hangs; the stall watch, if given, is told
// which step the hand waits for.
class Hand {
public:
    explicit Hand(uint64_t patienceMs = 30000, StallWatch* watch = nullptr);
    void Then(std::string name, std::function<bool()> ready, std::function<void()> act);
    bool Done() const { return steps_.empty() && !busy_; }
    std::string Waiting() const { return steps_.empty() ? "" : steps_.front().name; }
    size_t Remaining() const { return steps_.size(); }

private:
    struct Step {
        std::string name;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    void Tick();
    void NoteWaiting();

    std::unique_ptr<TTimer> timer_ = std::make_unique<TTimer>();
    std::deque<Step> steps_;
    bool busy_ = false;
    uint64_t patience_;
    // None before the first step.
    uint64_t deadline_ = UINT64_MAX;
    StallWatch* watch_;
};

class XScreen;

// Whether the X server gives the keys to the form's window.
bool HasTheKeyboard(XScreen& screen, const TCustomForm& form);

// The windows as a failure tells them: the forms shown, with the one
// active, the modal ones and the disabled ones marked, and the window the
// X server gives the keys to.
std::string WindowsState(XScreen& screen);

// A key with the modifier keys named, on the editor's main window once its
// last paint is done. A main window without the keyboard is given it first
// by a click on its status bar, and the key waits until it has it: a
// window manager takes its time over a click, and a key sent at once could
// reach the window before the click does.
void KeyOnMain(Hand& hand, XScreen& screen, const char* key, std::vector<const char*> modifiers);

}  // namespace thorn::test
