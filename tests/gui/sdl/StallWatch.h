#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// Watches a real-window test from a thread of its own: when the event loop
// has not run for the limit (a call that waits on the X server for ever, a
// modal loop that nothing ends), the test program ends at once, saying what
// the test waited for and leaving the screen in "stalled.png" in the
// working folder, rather than hanging until CTest's timeout.
namespace thorn::test {

class StallWatch {
public:
    explicit StallWatch(std::chrono::milliseconds limit);
    ~StallWatch();
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // The event loop ran.
    void Beat();
    // What the test waits for now, told with a stall.
    void Note(std::string state);

private:
    void Watch();
    [[noreturn]] void Stalled();

    std::chrono::milliseconds limit_;
    std::string test_;
    std::atomic<int64_t> lastBeat_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string state_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace thorn::test
