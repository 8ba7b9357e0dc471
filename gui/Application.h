#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/ControlLinks.h"
#include "gui/Forms.h"
#include "gui/Host.h"
#include "gui/LoneAlt.h"
#include "platform/Components.h"

class TTimer;
class THintWindow;

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& e)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;

// The running program: the forms, the message loop on its host, timers,
// hints, the exception box and message boxes. One exists at a time and is
// reachable as the global Application; making it also makes Screen.
class TApplication : public TComponent, public thorn::ApplicationLink {
public:
    explicit TApplication(std::unique_ptr<thorn::Host> host);
    ~TApplication() override;

    thorn::Host& GetHost() const override { return *host_; }

    // Makes a form owned by the application and runs its OnCreate (an
    // exception there is shown with the exception box and the form stays).
    // The first form made is the main form.
    template <typename T, typename... Args>
    T* CreateForm(Args&&... args) {
        T* form = thorn::Make<T>(*this, std::forward<Args>(args)...);
        if (!mainForm_) mainForm_ = form;
        form->DoCreate();
        return form;
    }
    TCustomForm* GetMainForm() const { return mainForm_.Get(); }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }

    // ---- the message loop
    // Shows the main form and runs the loop until Terminate. On a host that
    // cannot wait for input, returns once nothing is left to do.
    void Run();
    void Terminate();
    bool GetTerminated() const { return terminated_; }
    // Handles everything waiting (input, due timers, deferred frees, then
    // painting) and returns; safe to call from inside an event handler.
    // Answers whether there was anything to handle.
    bool ProcessMessages();
    // Handles what is waiting, or when nothing is, paints, runs the idle
    // work and waits for input or the next timer.
    void HandleMessage();
    // Nesting depth of modal loops.
    int GetModalLevel() const { return modalLevel_; }

    // ---- exceptions
    // Call from inside a catch block: shows the exception being handled with
    // OnException or the exception box. EAbort is silent; an unscripted
    // dialog of the headless host is passed on.
    void HandleException(TObject* sender);
    // The exception box: the message (with a full stop added unless it ends
    // in one or another mark below it) in an OK box with the stop icon.
    void ShowException(const std::exception& e);
    // Runs fn, handling any exception it throws as an event handler's.
    void Guard(TObject* sender, const std::function<void()>& fn) override;

    // ---- message boxes
    // A modal box with text, caption (the system's "Error" when empty) and
    // the buttons and icon of flags (MB_*); answers the button's ID*.
    int MessageBox(std::string_view text, std::string_view caption = {}, uint32_t flags = MB_OK);

    // ---- title and hints
    const std::string& GetTitle() const { return title_; }
    // The title reaches the host, for the desktop to show.
    void SetTitle(const std::string& value);
    const std::string& GetHint() const { return hint_; }
    // Stores the hint and runs OnHint.
    void SetHint(const std::string& value);
    bool GetShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    // Hides the hint window and starts the pause again.
    void CancelHint();
    THintWindow* GetHintWindow() const;

    // ---- deferred work
    // Frees an owned component after the current event has returned.
    void ReleaseComponent(TComponent* component);
    // Runs fn from the message loop, after the current event.
    void QueueCall(std::function<void()> fn);

    // ---- mouse capture (one control at a time)
    TControl* GetCaptureControl() const override { return capture_.Get(); }
    void SetCaptureControl(TControl* control) override;

    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    TIdleEvent OnIdle;

    // ---- used by the layer
    void RegisterTimer(TTimer* timer) override;
    void UnregisterTimer(TTimer* timer) override;
    // Milliseconds until the next timer is due (-1: none).
    int64_t TimeToNextTimer() const;
    // Fires every timer that is due now; answers how many fired.
    int FireDueTimers();
    void EnterModal() { ++modalLevel_; }
    void LeaveModal() { --modalLevel_; }
    // The mouse moved over control (null: over no control of ours).
    void NoteMouseOver(TControl* control, TPoint screenPos);
    // Paints every form that has something marked.
    void PaintAllForms();
    // Lets every shown, enabled form update its actions (idle time).
    void UpdateActions();
    // Whether Alt went down and up alone, heard from every window's input.
    thorn::LoneAlt& GetLoneAlt() { return loneAlt_; }

private:
    void ApplyControlCursor() override;
    bool ProcessPending();
    void Idle();
    void UpdateHint();
    void RunQueued();

    std::unique_ptr<thorn::Host> host_;
    std::unique_ptr<class TScreen> screen_;
    thorn::ComponentRef<TCustomForm> mainForm_;
    thorn::ComponentRef<TControl> capture_;
    std::vector<TTimer*> timers_;
    std::vector<thorn::ComponentRef<TComponent>> releases_;
    std::vector<std::function<void()>> queued_;
    std::string title_;
    std::string hint_;
    bool showHint_ = true;
    bool terminated_ = false;
    int modalLevel_ = 0;
    thorn::LoneAlt loneAlt_;
    // hints
    thorn::ComponentRef<TControl> hintControl_;
    thorn::ComponentRef<TControl> lastHintTarget_;
    TPoint hintCursor_;
    uint64_t hintMovedAt_ = 0;
    bool hintShown_ = false;
    uint64_t hintShownAt_ = 0;
    int hintHideTimeout_ = 0;
    std::unique_ptr<THintWindow> hintWindow_;
};

// The screen: forms, the active form and control, and the cursor.
class TScreen : public TComponent {
public:
    // The cursor shown everywhere while not crDefault.
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor value);
    TCustomForm* GetActiveForm() const { return activeForm_.Get(); }
    TWinControl* GetActiveControl() const { return activeControl_.Get(); }
    int GetFormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* GetForm(int index) const { return forms_.at(static_cast<size_t>(index)); }
    // The forms that were active, in the order they last were (the latest
    // last).
    int GetActivatedCount() const { return static_cast<int>(activated_.size()); }
    TCustomForm* GetActivated(int index) const { return activated_.at(static_cast<size_t>(index)); }
    int GetWidth() const;
    int GetHeight() const;
    TRect GetWorkAreaRect() const;
    TPoint GetCursorPos() const;

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    // ---- used by the layer
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form);
    void SetActiveControl(TWinControl* control);
    // The cursor to show over control (Screen's when set, else the first
    // non-default one from control up), handed to the host.
    void ApplyCursorFor(const TControl* control);

private:
    TCursor cursor_ = crDefault;
    TCursor shown_ = crDefault;
    thorn::ComponentRef<TCustomForm> activeForm_;
    thorn::ComponentRef<TWinControl> activeControl_;
    thorn::ComponentRef<TControl> cursorControl_;
    std::vector<TCustomForm*> forms_;
    std::vector<TCustomForm*> activated_;
};

extern TApplication* Application;
extern TScreen* Screen;

// A box with the text and an OK button, captioned with the application's title.
void ShowMessage(std::string_view text);
