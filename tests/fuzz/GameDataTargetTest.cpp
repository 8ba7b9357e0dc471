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
// its TMPDIR on the given inputs.
pid_t StartReplay(const fs::path& temporaryFolder, const std::vector<std::string>& inputs) {
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
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
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

// A run stopped by a signal leaves nothing in the temporary folder: the
// target's start folder, with its copy of the pictures, goes with it.
TEST(GameDataTarget, AnInterruptedRunLeavesNoStartFolder) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        TempDir temporary, inputs;
        // The second input blocks the run until the test writes to it, once
        // the first has gone through the target.
        const fs::path fifo = inputs / "waiting.xml";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const fs::path seed = thorn::test::SourceDir() / "fuzz/corpus/game_data/startdir.xml";
        const pid_t replay = StartReplay(temporary.Path(), {seed.string(), fifo.string()});
        ASSERT_GT(replay, 0);
        const int writer = WaitForReader(fifo, replay);
        EXPECT_GE(writer, 0);
        EXPECT_FALSE(fs::is_empty(temporary.Path()));
        ::kill(replay, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(replay, &status, 0), replay);
        if (writer >= 0) ::close(writer);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(temporary.Path())) left.push_back(entry.path().string());
        EXPECT_EQ(left, std::vector<std::string>{});
    }
}

}  // namespace
