#pragma once

#include <cstdint>

#include "platform/Components.h"

// A timer of the message loop: OnTimer runs every Interval milliseconds of
// the host's clock while Enabled, between other events. It does not run
// again while its own handler is still running, and missed periods are not
// made up.
class TTimer : public TComponent {
public:
    TTimer();
    ~TTimer() override;

    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t GetInterval() const { return interval_; }
    void SetInterval(uint32_t value);
    TNotifyEvent GetOnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);

    // ---- used by the application
    bool IsRunning() const { return registered_; }
    uint64_t GetDueAt() const { return dueAt_; }
    // Runs OnTimer when due at now; answers whether it ran.
    bool FireIfDue(uint64_t now);

private:
    void UpdateTimer();

    bool enabled_ = true;
    uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    bool registered_ = false;
    bool firing_ = false;
    uint64_t dueAt_ = 0;
};
