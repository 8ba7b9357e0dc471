#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "StallWatch.h"
#include "gui/Application.h"
#include "gui/Timers.h"
#include "gui/sdl/SdlHost.h"

namespace thorn::test {

// An application on the SDL host, for a real-window test. A timer of the
// application tells the stall watch that the event loop runs, in whatever
// loop (a modal one too): a test whose loop stops for the watch's limit
// ends with what it waited for and a screenshot.
class SdlSession : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds kStallLimit{15000};

    SdlSession() { StartApplication(); }
    ~SdlSession() override {
        beat.reset();
        app.reset();
    }
    // A fresh application on a fresh host (the one before goes first).
    void StartApplication() {
        beat.reset();
        app.reset();
        auto sdl = std::make_unique<thorn::SdlHost>();
        host = sdl.get();
        app = std::make_unique<TApplication>(std::move(sdl));
        beat = std::make_unique<TTimer>();
        beat->SetInterval(100);
        beat->SetOnTimer([this](TObject*) { watch.Beat(); });
    }
    // Runs the loop until done() or three seconds have passed, then handles
    // what is left; answers done().
    template <typename Done>
    bool RunUntil(Done done) {
        uint64_t until = host->Now() + 3000;
        while (!done() && host->Now() < until) {
            Application->ProcessMessages();
            host->PumpEvents(10);
        }
        Application->ProcessMessages();
        return done();
    }
    // Runs the loop for ms milliseconds.
    void RunFor(uint64_t ms) {
        const uint64_t until = host->Now() + ms;
        RunUntil([&] { return host->Now() >= until; });
    }
    StallWatch watch{kStallLimit};
    thorn::SdlHost* host = nullptr;
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TTimer> beat;
};

}  // namespace thorn::test
