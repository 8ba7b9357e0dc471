#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "controls/Rmlibrary_System.h"

namespace {

// The first line a command prints, or nothing when it fails.
std::optional<std::string> FirstLineOf(const char* command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command, "r"), pclose);
    if (!pipe) return std::nullopt;
    char line[1024] = {};
    const bool got = std::fgets(line, sizeof line, pipe.get()) != nullptr;
    if (pclose(pipe.release()) != 0 || !got) return std::nullopt;
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

TEST(RmlibrarySystem, NotTheOriginalPlatform) { EXPECT_EQ(WinOSVersion(), wosUnknown); }

// hostname(1) looks the machine up by itself.
TEST(RmlibrarySystem, HostNameAndAddress) {
    const auto official = FirstLineOf("hostname --fqdn 2>/dev/null");
    EXPECT_EQ(LocalName(), official.value_or(""));

    const std::string address = LocalIP();
    const auto addresses = FirstLineOf("hostname -i 2>/dev/null");
    if (!official) {
        EXPECT_EQ(address, "");
        return;
    }
    ASSERT_TRUE(addresses);
    std::istringstream words(*addresses);
    std::vector<std::string> known{std::istream_iterator<std::string>(words), {}};
    EXPECT_NE(std::find(known.begin(), known.end(), address), known.end()) << address << " in " << *addresses;
}

TEST(RmlibrarySystem, SwitchesWithParameters) {
    const std::vector<std::string> params = {"", "xyz", "-oC:\\x", "/Q", "--verbose=yes"};
    struct Case {
        const char* switchName;
        const char* chars;
        bool ignoreCase;
        bool found;
        const char* param;
    } const cases[] = {
        {"o", "-/", false, true, "C:\\x"},      {"q", "-/", true, true, ""},
        {"q", "-/", false, false, ""},          {"-verbose=", "-", false, true, "yes"},
        {"yz", "", false, true, ""},            {"o", "/", false, false, ""},
        {"OC:", "-", true, true, "\\x"},        {"oC:\\xx", "-", false, false, ""},
    };
    for (const auto& [name, chars, ignoreCase, found, expected] : cases) {
        std::string param = "left over";
        EXPECT_EQ(thorn::FindSwitchWithParam(params, name, TrmCharSet(chars), ignoreCase, param), found) << name;
        EXPECT_EQ(param, expected) << name;
    }

    // This program's own parameters are read too.
    std::string param = "left over";
    EXPECT_FALSE(FindCmdLineSwitchWithParam("no-such-switch", TrmCharSet("-"), true, param));
    EXPECT_EQ(param, "");
}

}  // namespace
