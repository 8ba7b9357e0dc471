#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace thorn::test {

// A FIFO for loads that must refuse it at once. A reader that opens it and
// waits for a writer is let go after a while (a writer comes and goes at
// once, so the reader meets the end of the data): a load that blocks on the
// FIFO then fails its test instead of hanging it, and Released says so.
class FifoTrap {
public:
    explicit FifoTrap(std::filesystem::path path);
    ~FifoTrap();
    FifoTrap(const FifoTrap&) = delete;
    FifoTrap& operator=(const FifoTrap&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // How many readers that waited on the FIFO were let go.
    int Released();

private:
    void Watch();

    std::filesystem::path path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    int released_ = 0;
    std::thread watcher_;
};

}  // namespace thorn::test
