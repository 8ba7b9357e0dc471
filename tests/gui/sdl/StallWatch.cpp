#include "StallWatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "XScreen.h"
#include "support/PngFile.h"

namespace thorn::test {

namespace {

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

StallWatch::StallWatch(std::chrono::milliseconds limit) : limit_(limit), lastBeat_(NowMs()) {
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        test_ = std::string(info->test_suite_name()) + "." + info->name();
    thread_ = std::thread([this] { Watch(); });
}

StallWatch::~StallWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void StallWatch::Beat() { lastBeat_ = NowMs(); }

void StallWatch::Note(std::string state) {
    std::lock_guard lock(mutex_);
    state_ = std::move(state);
}

void StallWatch::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_for(lock, std::chrono::milliseconds(200));
        if (!stopping_ && NowMs() - lastBeat_ > limit_.count()) Stalled();
    }
}

void StallWatch::Stalled() {
    std::fprintf(stderr, "[ STALLED  ] %s: the event loop has not run for %lld s%s%s; the screen is in stalled.png\n",
                 test_.c_str(), static_cast<long long>(limit_.count() / 1000), state_.empty() ? "" : ", waiting for: ",
                 state_.c_str());
    std::fflush(stderr);
    // The test's own connection belongs to the stalled thread: the screen
    // is read through one of this thread's.
    XScreen screen;
    if (screen.Ok()) {
        TBitmap32 shot;
        screen.Grab(shot);
        WritePng(std::filesystem::current_path() / "stalled.png", shot);
    }
    std::_Exit(1);
}

}  // namespace thorn::test
