#include <gtest/gtest.h>

#include "gui/headless/HeadlessHost.h"
#include "platform/Beep.h"

namespace {

TEST(HeadlessBeep, TheHostCountsBeepsWhileItLives) {
    int outer = 0;
    auto before = thorn::SetBeepSink([&](uint32_t) { ++outer; });
    {
        thorn::HeadlessApplication session;
        MessageBeep(0);
        Beep();
        EXPECT_EQ(session.Host().BeepCount(), 2);
        EXPECT_EQ(outer, 0);
    }
    Beep();
    EXPECT_EQ(outer, 1);
    thorn::SetBeepSink(std::move(before));
}

}  // namespace
