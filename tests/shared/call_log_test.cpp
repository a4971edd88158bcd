#include <gtest/gtest.h>

#include "sim/call_log.h"

namespace tav::sim {
namespace {

TEST(FaultPlan, FailsTheChosenCallsOnly) {
    SimTrace trace;
    trace.faults.Fail("OpenServiceW", 5, /*times=*/2, /*after=*/1);
    EXPECT_FALSE(trace.Enter("OpenServiceW", "Spooler"));
    EXPECT_EQ(trace.Enter("OpenServiceW", "Lpdsvc"), 5u);
    EXPECT_EQ(trace.Enter("OpenServiceW"), 5u);
    EXPECT_FALSE(trace.Enter("OpenServiceW"));
    EXPECT_FALSE(trace.Enter("CloseServiceHandle"));
    EXPECT_EQ(trace.faults.Calls("OpenServiceW"), 4);
    EXPECT_EQ(trace.log.Count("OpenServiceW"), 4u);
    EXPECT_EQ(trace.log.Entries()[1], "OpenServiceW Lpdsvc");
}

TEST(FaultPlan, AlwaysFailsUntilCleared) {
    SimTrace trace;
    trace.faults.FailAlways("CreateEventW", 8);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(trace.Enter("CreateEventW"), 8u);
    trace.faults.Clear();
    EXPECT_FALSE(trace.Enter("CreateEventW"));
}

}  // namespace
}  // namespace tav::sim
