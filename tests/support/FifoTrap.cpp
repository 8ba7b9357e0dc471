#include "FifoTrap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace thorn::test {

FifoTrap::FifoTrap(std::filesystem::path path) : path_(std::move(path)) {
    if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("cannot make the FIFO " + path_.string());
    watcher_ = std::thread([this] { Watch(); });
}

FifoTrap::~FifoTrap() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    watcher_.join();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

int FifoTrap::Released() {
    std::lock_guard lock(mutex_);
    return released_;
}

void FifoTrap::Watch() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(2), [this] { return stopping_; })) {
        // Opening for writing without waiting succeeds only while a reader
        // has the FIFO open: that reader is stuck.
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            ++released_;
        }
    }
}

}  // namespace thorn::test
