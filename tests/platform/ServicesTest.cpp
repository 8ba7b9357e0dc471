#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/Beep.h"
#include "platform/Random.h"
#include "platform/Shell.h"
#include "support/TempDir.h"

namespace {

TEST(Random, FollowsTheLibrarySequence) {
    RandSeed = 0;
    std::vector<int32_t> draws;
    for (int i = 0; i < 5; ++i) draws.push_back(Random(1000));
    EXPECT_EQ(draws, (std::vector<int32_t>{0, 31, 861, 202, 272}));
    EXPECT_EQ(RandSeed, 1172187917u);
    EXPECT_EQ(Random(7), 4);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);

    std::vector<int> counts(10);
    for (int i = 0; i < 10'000; ++i) {
        const int32_t r = Random(10);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 10);
        ++counts[static_cast<size_t>(r)];
    }
    for (int c : counts) EXPECT_GT(c, 800);

    RandSeed = 12345;
    Randomize();
    EXPECT_NE(RandSeed, 12345u);
}

TEST(OpenLink, RunsTheOpenerWithTheLinkAsOneArgument) {
    thorn::test::TempDir dir;
    const auto out = dir / "args.txt";
    const auto script = dir / "opener";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" << out.string() << ".part'\nmv '"
                          << out.string() << ".part' '" << out.string() << "'\n";
    chmod(script.c_str(), 0755);
    thorn::SetLinkOpener(script.string());

    const std::string link = "https://example.com/a b?c=1&d='x';$(rm -rf x)";
    ASSERT_TRUE(thorn::OpenLink(link));
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "1\n" + link + "\n");

    EXPECT_FALSE(thorn::OpenLink(""));
    EXPECT_FALSE(thorn::OpenLink("--help"));
    thorn::SetLinkOpener((dir / "missing").string());
    EXPECT_FALSE(thorn::OpenLink("https://example.com"));
    thorn::SetLinkOpener("true");  // found in PATH
    EXPECT_TRUE(thorn::OpenLink("https://example.com"));
    thorn::SetLinkOpener("");
}

// The editor ignores SIGPIPE (its X connection may end under it); a
// handler it starts must not inherit that and write on for ever.
TEST(OpenLink, TheOpenerStartsWithSigpipeAsUsual) {
    thorn::test::TempDir dir;
    const auto out = dir / "ignored.txt";
    const auto script = dir / "opener";
    std::ofstream(script) << "#!/bin/sh\ngrep SigIgn /proc/$$/status > '" << out.string() << ".part'\nmv '"
                          << out.string() << ".part' '" << out.string() << "'\n";
    chmod(script.c_str(), 0755);
    thorn::SetLinkOpener(script.string());
    const auto before = std::signal(SIGPIPE, SIG_IGN);
    ASSERT_TRUE(thorn::OpenLink("https://example.com"));
    std::signal(SIGPIPE, before);
    thorn::SetLinkOpener("");
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string label, mask;
    ASSERT_TRUE(in >> label >> mask);
    EXPECT_EQ(std::stoull(mask, nullptr, 16) & (1ull << (SIGPIPE - 1)), 0u) << mask;
}

TEST(Beep, GoesToTheHostsSink) {
    std::vector<uint32_t> heard;
    auto previous = thorn::SetBeepSink([&](uint32_t type) { heard.push_back(type); });
    MessageBeep(0x30);
    Beep();
    EXPECT_EQ(heard, (std::vector<uint32_t>{0x30, 0}));
    thorn::SetBeepSink(std::move(previous));
    MessageBeep(0);
    EXPECT_EQ(heard.size(), 2u);
}

}  // namespace
