#include "gui/Timers.h"

#include "gui/Application.h"

TTimer::TTimer() = default;

TTimer::~TTimer() {
    if (registered_ && Application) Application->UnregisterTimer(this);
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
    bool run = enabled_ && interval_ > 0 && onTimer_ && Application;
    if (registered_ && Application) Application->UnregisterTimer(this);
    registered_ = false;
    if (run) {
        dueAt_ = Application->GetHost().Now() + interval_;
        Application->RegisterTimer(this);
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
    Application->Guard(this, [&] { handler(this); });
    if (self) firing_ = false;
    return true;
}
