#include "Hand.h"

#include <memory>
#include <string>

#include "StallWatch.h"
#include "XScreen.h"
#include "editor/Main.h"
#include "gui/Application.h"

namespace thorn::test {

Hand::Hand(uint64_t patienceMs, StallWatch* watch) : patience_(patienceMs), watch_(watch) {
    timer_->SetInterval(10);
    timer_->SetOnTimer([this](TObject*) { Tick(); });
    timer_->SetEnabled(true);
}

void Hand::Then(std::string name, std::function<bool()> ready, std::function<void()> act) {
    if (steps_.empty()) deadline_ = Application->GetHost().Now() + patience_;
    steps_.push_back({std::move(name), std::move(ready), std::move(act)});
    if (steps_.size() == 1) NoteWaiting();
}

void Hand::NoteWaiting() {
    if (watch_) watch_->Note(steps_.empty() ? "" : "the step \"" + steps_.front().name + "\"");
}

void Hand::Tick() {
    if (busy_) return;
    if (Application->GetHost().Now() > deadline_) {
        // Stuck inside dialogs: they are closed, so the test can fail
        // rather than wait for ever (whether or not one has the keyboard),
        // also where the last step meant to close one and missed.
        for (int i = 0; i < Screen->GetFormCount(); ++i)
            if (TCustomForm* form = Screen->GetForm(i); form->IsModal() && form->IsShowing())
                form->SetModalResult(mrAbort);
        return;
    }
    if (steps_.empty() || !steps_.front().ready()) return;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    NoteWaiting();
    deadline_ = Application->GetHost().Now() + patience_;
    // An act may start a modal loop; the next steps run inside it.
    busy_ = true;
    step.act();
    busy_ = false;
}

bool HasTheKeyboard(XScreen& screen, const TCustomForm& form) {
    const unsigned long window = screen.WindowTitled(form.GetCaption());
    return window != 0 && screen.FocusedWindow() == window;
}

std::string WindowsState(XScreen& screen) {
    std::string state = "shown:";
    for (int i = 0; i < Screen->GetFormCount(); ++i) {
        const TCustomForm& form = *Screen->GetForm(i);
        if (!form.IsShowing() || thorn::IsPopupKind(form.GetWindowKind())) continue;
        state += " \"" + form.GetCaption() + "\"";
        if (form.GetActive()) state += " (active)";
        if (form.IsModal()) state += " (modal)";
        if (!form.GetEnabled()) state += " (disabled)";
        if (HasTheKeyboard(screen, form)) state += " (X keyboard)";
        state += ",";
    }
    if (screen.FocusedWindow() == 0) state += " the X keyboard nowhere";
    return state;
}

void KeyOnMain(Hand& hand, XScreen& screen, const char* key, std::vector<const char*> modifiers) {
    auto painted = [] { return MainForm && !MainForm->HasPendingPaint(); };
    hand.Then(std::string("keyboard for ") + key, painted, [&screen] {
        if (MainForm->GetActive() && HasTheKeyboard(screen, *MainForm.Get())) return;
        const TControl& bar = *MainForm->StatusBar;
        const TPoint p = bar.ClientToScreen({bar.GetClientWidth() / 2, bar.GetClientHeight() / 2});
        screen.Click(p.X, p.Y);
    });
    // A key goes where the X server's focus is: it is pressed once the
    // server, not only the form, says the main window has the keyboard.
    hand.Then(std::string("key ") + key, [painted, &screen] {
        return painted() && MainForm->GetActive() && HasTheKeyboard(screen, *MainForm.Get());
    }, [&screen, key, modifiers] { screen.Key(key, modifiers); });
}

}  // namespace thorn::test
