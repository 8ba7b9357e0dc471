#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/SourceTree.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using thorn::test::TempDir;

// The replay of the game-data fuzz target, started with temporaryFolder as
// its TMPDIR on the given inputs, with the signal ignored or at its default
// action whatever this program was started with.
pid_t StartReplay(const fs::path& temporaryFolder, const std::vector<std::string>& inputs, int signal, bool ignored) {
    std::vector<std::string> environment = {"TMPDIR=" + temporaryFolder.string()};
    for (char** variable = environ; *variable; ++variable)
        if (std::string_view(*variable).substr(0, 7) != "TMPDIR=") environment.emplace_back(*variable);
    std::vector<std::string> arguments = {THORN_GAME_DATA_REPLAY};
    arguments.insert(arguments.end(), inputs.begin(), inputs.end());
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (std::string& text : texts) list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argv = pointers(arguments), envp = pointers(environment);
    // An ignored signal stays ignored in the program spawned; one handled
    // here goes back to its default there.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    if (!ignored) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    struct sigaction ignore {}, before {};
    ignore.sa_handler = SIG_IGN;
    if (ignored) ::sigaction(signal, &ignore, &before);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], nullptr, &attributes, argv.data(), envp.data());
    if (ignored) ::sigaction(signal, &before, nullptr);
    posix_spawnattr_destroy(&attributes);
    return spawned == 0 ? pid : -1;
}

// Opens the FIFO for writing once its reader has opened it; -1 when the
// reader ends first or does not come within a minute.
int WaitForReader(const fs::path& fifo, pid_t reader) {
    for (int tries = 0; tries < 6000; ++tries) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) return fd;
        if (errno != ENXIO || ::waitpid(reader, nullptr, WNOHANG) != 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// The program's end: its status, or nothing when it has not ended within
// the time; then it is killed, so that no test waits for ever.
std::optional<int> WaitForEnd(pid_t pid, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < until) {
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid) return status;
        if (ended < 0) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return std::nullopt;
}

// A run stopped by a signal leaves nothing in the temporary folder: the
// target's start folder, with its copy of the pictures, goes with it. The
// run ends as the signal ends a program, also when it was started with the
// signal ignored (under nohup, or as a background job).
TEST(GameDataTarget, AnInterruptedRunLeavesNoStartFolder) {
    for (const bool ignored : {false, true})
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(strsignal(signal)) + (ignored ? ", ignored" : ""));
            TempDir temporary, inputs;
            // The second input blocks the run until the test writes to it,
            // once the first has gone through the target.
            const fs::path fifo = inputs / "waiting.xml";
            ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
            const fs::path seed = thorn::test::SourceDir() / "fuzz/corpus/game_data/startdir.xml";
            const pid_t replay = StartReplay(temporary.Path(), {seed.string(), fifo.string()}, signal, ignored);
            ASSERT_GT(replay, 0);
            const int writer = WaitForReader(fifo, replay);
            EXPECT_GE(writer, 0);
            EXPECT_FALSE(fs::is_empty(temporary.Path()));
            ::kill(replay, signal);
            const std::optional<int> status = WaitForEnd(replay, std::chrono::seconds(30));
            if (writer >= 0) ::close(writer);
            ASSERT_TRUE(status) << "the run did not end";
            EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == signal) << *status;
            std::vector<std::string> left;
            for (const auto& entry : fs::directory_iterator(temporary.Path())) left.push_back(entry.path().string());
            EXPECT_EQ(left, std::vector<std::string>{});
        }
}

}  // namespace
