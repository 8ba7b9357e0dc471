#include "OwnXServer.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "Processes.h"

namespace thorn::test {

OwnXServer::OwnXServer(int firstNumber, std::string_view size) {
    // Numbers apart per test process, so that programs run side by side
    // seldom meet at the same lock.
    int number = firstNumber + static_cast<int>(getpid() % 150);
    while (std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) ++number;
    display_ = ":" + std::to_string(number);
    server_ = Spawn({"Xvfb", display_, "-screen", "0", std::string(size) + "x24", "-nolisten", "tcp"}, {});
    if (server_ == 0) return;
    for (int i = 0; i < 100 && !Screen(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        screen_ = std::make_unique<XScreen>(display_.c_str());
    }
}

OwnXServer::~OwnXServer() { Stop(); }

void OwnXServer::Stop() {
    screen_.reset();
    if (server_ == 0) return;
    kill(server_, SIGTERM);
    Ended(server_, 10);
    server_ = 0;
}

}  // namespace thorn::test
