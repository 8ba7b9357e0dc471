#include "gui/Timers.h"

#include "gui/ControlLinks.h"
#include "gui/Host.h"

TTimer::TTimer() = default;

TTimer::~TTimer() {
    thorn::ApplicationLink* app = thorn::RunningApplication();
    if (registered_ && app) app->UnregisterTimer(this);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
    if (value == interval_) return;
    interval_ = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
    onTimer_ = std::move(value);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    // The timer runs only when it has something to do: one disabled, of no
    // interval or without a handler costs the host no wake-ups. Any change
    // starts a new period.
    thorn::ApplicationLink* app = thorn::RunningApplication();
    bool run = enabled_ && interval_ > 0 && onTimer_ && app;
    if (registered_ && app) app->UnregisterTimer(this);
    registered_ = false;
    if (run) {
        dueAt_ = app->GetHost().Now() + interval_;
        app->RegisterTimer(this);
        registered_ = true;
    }
}

bool TTimer::FireIfDue(uint64_t now) {
    if (!registered_ || firing_ || now < dueAt_) return false;
    dueAt_ = now + interval_;
    if (GetComponentState().Contains(csDestroying)) return false;
    firing_ = true;
    thorn::ComponentRef<TTimer> self(this);
    TNotifyEvent handler = onTimer_;  // the handler may replace itself
    thorn::RunningApplication()->Guard(this, [&] { handler(this); });
    if (self) firing_ = false;
    return true;
}
