#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "StallWatch.h"
#include "XScreen.h"
#include "gui/Forms.h"
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
    // Runs the loop until the form's window stands on the screen where the
    // form says its inside is: a window manager may still be putting it, and
    // a pointer aimed by the form's own reckoning would miss a thin target.
    // Answers whether it does.
    bool RunUntilStanding(XScreen& screen, const TCustomForm& form) {
        return RunUntil([&] {
            const TRect place = screen.PlaceOf(screen.WindowTitled(form.GetCaption()));
            return place.Left == form.GetLeft() && place.Top == form.GetTop();
        });
    }
    // Where the form's window stands and where the form says it does, for
    // a failure's message.
    static std::string Standing(XScreen& screen, const TCustomForm& form) {
        const TRect place = screen.PlaceOf(screen.WindowTitled(form.GetCaption()));
        return "inside at " + std::to_string(place.Left) + ", " + std::to_string(place.Top) + "; the form at " +
               std::to_string(form.GetLeft()) + ", " + std::to_string(form.GetTop());
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
