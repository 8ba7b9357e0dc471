#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "gui/Application.h"
#include "gui/sdl/SdlHost.h"

namespace thorn::test {

// An application on the SDL host, for a real-window test.
class SdlSession : public ::testing::Test {
protected:
    SdlSession() {
        auto sdl = std::make_unique<thorn::SdlHost>();
        host = sdl.get();
        app = std::make_unique<TApplication>(std::move(sdl));
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
    thorn::SdlHost* host = nullptr;
    std::unique_ptr<TApplication> app;
};

}  // namespace thorn::test
