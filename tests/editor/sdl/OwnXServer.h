#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

#include "XScreen.h"

namespace thorn::test {

// An Xvfb of the test's own, on the first free display from the number
// given, with the test's connection to it; the server ends with the object.
class OwnXServer {
public:
    OwnXServer(int firstNumber, std::string_view size);
    ~OwnXServer();
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    // Null when the server did not start.
    XScreen* Screen() { return screen_ && screen_->Ok() ? screen_.get() : nullptr; }
    const std::string& Display() const { return display_; }
    // Closes the connection and ends the server, as a desktop that goes.
    void Stop();

private:
    std::string display_;
    pid_t server_ = 0;
    std::unique_ptr<XScreen> screen_;
};

}  // namespace thorn::test
