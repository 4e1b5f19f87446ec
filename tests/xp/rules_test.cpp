// Pure rules of the XP client layer: build classes, service wait decisions, list blobs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "service_control.h"
#include "wzc_config_list.h"

namespace {

TEST(Rules, BuildClasses)
{
    const struct {
        uint32_t version;
        int32_t buildClass;
    } cases[] = {
        {0x08931792, 0},
        {0x089319CC, 1},
        {0x0A280000, 2},
        {0x0A280452, 3},
        {0x0A28049D, 4},
        {0x0A2804FC, 5},
        {0x0A280884, 6},
        {0x0CE60000, 6},
        {0xFFFFFFFF, 6},
        {0x0A2804B0, -1} /* 2600.1200 */,
        {0x08930000, -1} /* 2195.0 */,
        {0x0A280883, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.buildClass, WzcBuildClass(c.version)) << std::hex << c.version;
}

TEST(Rules, ServiceWaits)
{
    const struct {
        DWORD hint, interval;
    } waits[] = {
        {0, 1000}, {5000, 1000}, {10000, 1000}, {30000, 3000}, {100000, 10000}, {200000, 10000},
    };
    for (const auto& w : waits)
        EXPECT_EQ(w.interval, ServiceWaitInterval(w.hint)) << w.hint;
    // The limit first: a goal reached after it is still a timeout.
    const struct {
        DWORD elapsed, limit;
        bool goal;
        ServiceWaitStep step;
    } steps[] = {
        {1000, 0, true, SERVICE_WAIT_TIMED_OUT},
        {20001, 20000, false, SERVICE_WAIT_TIMED_OUT},
        {20000, 20000, false, SERVICE_WAIT_AGAIN},
        {20000, 20000, true, SERVICE_WAIT_REACHED},
    };
    for (const auto& s : steps)
        EXPECT_EQ(s.step, NextServiceWaitStep(s.elapsed, s.limit, s.goal)) << s.elapsed;
}

// Blobs as the library could hand them: the count word decides; torn ones are refused.
TEST(Rules, ListBlobReads)
{
    std::vector<uint8_t> blob(8 + 2 * 160);
    const struct {
        uint32_t count, length, result;
    } reads[] = {
        {2, 328, 0}, {1, 328, 0}, {0, 8, 232}, {2, 327, 13}, {1, 4, 13}, {1, 0, 232},
    };
    for (const auto& r : reads) {
        memcpy(blob.data(), &r.count, 4);
        WzcConfigItem* head = nullptr;
        EXPECT_EQ(r.result, WzcReadConfigList(blob.data(), r.length, &head)) << r.length;
        uint32_t items = 0;
        for (WzcConfigItem* item = head; item; item = item->next)
            ++items;
        EXPECT_EQ(r.result ? 0 : r.count, items);
        WzcFreeConfigList(&head);
    }
    WzcConfigItem* head = nullptr;
    EXPECT_EQ(232u, WzcReadConfigList(nullptr, 328, &head));
    EXPECT_EQ(232u, WZCConfigItemGet(nullptr, blob.data(), &head));
    EXPECT_EQ(232u, WZCConfigItemPrepend(head, nullptr));
}

} // namespace
