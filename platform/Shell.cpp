#include "platform/Shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <thread>

extern char** environ;

namespace thorn {

namespace {

std::string& Opener() {
    static std::string program = "xdg-open";
    return program;
}

}  // namespace

void SetLinkOpener(std::string program) { Opener() = program.empty() ? "xdg-open" : std::move(program); }

bool OpenLink(std::string_view link) {
    if (link.empty() || link.front() == '-') return false;
    std::string program = Opener();
    std::string argument(link);
    char* argv[] = {program.data(), argument.data(), nullptr};
    // The editor ignores SIGPIPE; the handler starts with it as usual.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return false;
    // The handler may outlive a browser's start-up; it is reaped aside so the
    // caller never waits and no zombie stays behind.
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

}  // namespace thorn
