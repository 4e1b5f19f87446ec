// The prefix's emulated wireless service started and stopped for real, with short pending
// times: the wait loops, their lines and the stop limit.
#include <gtest/gtest.h>

#include <functional>

#include "service_control.h"
#include "test_support.h"
#include "xp_testbed_state.h"

namespace {

TEST(XpService, StartsAndStops)
{
    auto start = [] { return ZT_StartWZCSVC(0); };
    const XpServiceTiming now = {0, 0, 0, 0};
    const struct {
        XpServiceTiming timing;
        std::function<DWORD()> control;
        DWORD result;
        const char* lines;
    } steps[] = {
        {now, ZT_StopWZCSVC, 0, ""},
        {now, ZT_StopWZCSVC, 0, ""}, // the second: not running
        {{500, 0, 0, 0}, start, 0, "ZT_StartWZCSVC :: wait for 1 seconds\n"},
        {now, start, 1056, ""},
        // Stopped only after the limit (the first wait hint, 500 ms) has passed.
        {{0, 0, 1500, 500}, ZT_StopWZCSVC, 1460, "ZT_StopWZCSVC :: wait for 1 seconds\n"},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(0, WriteXpServiceTiming(s.timing));
        StdoutCapture out;
        EXPECT_EQ(s.result, s.control());
        EXPECT_EQ(s.lines, out.Text());
    }
    // Running again for whoever comes next, once the slow stop has ended.
    EXPECT_EQ(0, WriteXpServiceTiming(now));
    for (int i = 0; i < 50 && start() != 0; ++i)
        Sleep(100);
    EXPECT_EQ(1056u, start());
}

} // namespace
