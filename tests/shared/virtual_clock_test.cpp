#include <gtest/gtest.h>

#include <vector>

#include "sim/virtual_clock.h"

namespace tav::sim {
namespace {

TEST(VirtualClock, ScheduledActionsRunAtTheirTickInOrder) {
    VirtualClock clock(100);
    std::vector<std::pair<int, uint32_t>> seen;
    clock.Schedule(30, [&] { seen.push_back({2, clock.TickCount()}); });
    clock.Schedule(10, [&] { seen.push_back({1, clock.TickCount()}); });
    clock.Schedule(30, [&] { seen.push_back({3, clock.TickCount()}); });
    clock.Sleep(20);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(1, 110u));
    clock.Advance(100);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], std::make_pair(2, 130u));
    EXPECT_EQ(seen[2], std::make_pair(3, 130u));
    EXPECT_EQ(clock.TickCount(), 220u);
}

TEST(VirtualClock, ActionsMayScheduleMoreAndCancelledOnesNeverRun) {
    VirtualClock clock;
    int runs = 0;
    const auto id = clock.Schedule(5, [&] { runs += 100; });
    clock.Schedule(1, [&] { clock.Schedule(1, [&] { ++runs; }); });
    clock.Cancel(id);
    clock.Advance(10);
    EXPECT_EQ(runs, 1);
}

TEST(VirtualClock, TickCountWrapsAt32Bits) {
    VirtualClock clock(0xFFFFFFF0u);
    clock.Sleep(0x20);
    EXPECT_EQ(clock.TickCount(), 0x10u);
    EXPECT_EQ(clock.Elapsed(), 0x20u);
}

}  // namespace
}  // namespace tav::sim
