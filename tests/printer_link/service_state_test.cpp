// Service control: state changes, their bounded wait, and the spooler start-up wait.

#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class ServiceState : public PrinterFixture {};

TEST_F(ServiceState, StopOfARunningServiceWaitsForStoppedAndClosesBothHandles) {
    world.services.Config(u"Tavportsvc").stopDelayMs = 1200;
    world.services.Config(u"Tavportsvc").waitHint = 3000;
    const uint32_t start = Now();
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), 1);
    EXPECT_EQ(world.services.State(u"Tavportsvc"), win::kServiceStopped);
    EXPECT_EQ(Now() - start, 1500u);  // polls every min(hint, 500) ms
    EXPECT_EQ(world.services.OpenHandles(), 0u);
    const auto closes = world.trace.log.EntriesStartingWith("CloseServiceHandle");
    EXPECT_EQ(closes, (std::vector<std::string>{"CloseServiceHandle Tavportsvc",
                                                "CloseServiceHandle manager"}));
}

TEST_F(ServiceState, StartOfAStoppedServiceWaitsForRunning) {
    world.services.Config(u"Tavportsvc").state = win::kServiceStopped;
    world.services.Config(u"Tavportsvc").startDelayMs = 250;
    world.services.Config(u"Tavportsvc").waitHint = 100;
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Tavportsvc"), 1);
    EXPECT_EQ(world.services.State(u"Tavportsvc"), win::kServiceRunning);
}

TEST_F(ServiceState, NothingToDoGivesZero) {
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Spooler"), 0);  // already running
    world.services.Config(u"Tavportsvc").state = win::kServiceStopPending;
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), 0);
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Tavportsvc"), 0);
    EXPECT_EQ(CallsOf({"StartServiceW", "ControlService"}).size(), 0u);
    EXPECT_EQ(world.services.OpenHandles(), 0u);
}

TEST_F(ServiceState, EveryFailingStepGivesZeroAndReleasesWhatWasOpened) {
    for (const char* call :
         {"OpenSCManagerW", "OpenServiceW", "QueryServiceStatus", "ControlService"}) {
        sim::PrinterWorld w;
        w.trace.faults.Fail(call, win::kErrorAccessDenied);
        EXPECT_EQ(ChangeServiceState(w.platform, 0, u"Tavportsvc"), 0) << call;
        EXPECT_EQ(w.services.State(u"Tavportsvc"), win::kServiceRunning) << call;
        EXPECT_EQ(w.services.OpenHandles(), 0u) << call;
    }
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"NoSuchService"), 0);
}

TEST_F(ServiceState, RefusedStartGivesZero) {
    world.services.Config(u"Tavportsvc").state = win::kServiceStopped;
    world.services.Config(u"Tavportsvc").refuseStart = 1058;  // disabled
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Tavportsvc"), 0);
    EXPECT_EQ(GetLastErrorCode(), 1058u);
    // The refusal is what the caller reads, even when closing the handles fails.
    world.trace.faults.FailAlways("CloseServiceHandle", win::kErrorInvalidHandle);
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Tavportsvc"), 0);
    EXPECT_EQ(GetLastErrorCode(), 1058u);
}

TEST_F(ServiceState, FailingQueryDuringTheWaitEndsItWithZero) {
    world.services.Config(u"Tavportsvc").stopDelayMs = 1000;
    world.trace.faults.Fail("QueryServiceStatus", win::kErrorInvalidHandle, 1, 1);
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), 0);
}

TEST_F(ServiceState, ServiceThatNeverArrivesIsGivenUpAfterThirtySeconds) {
    world.services.Config(u"Tavportsvc").stopDelayMs = sim::kStaysPending;
    world.services.Config(u"Tavportsvc").waitHint = 500;
    const uint32_t start = Now();
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), 0);
    EXPECT_EQ(Now() - start, kServiceStateWaitMs);
    EXPECT_EQ(world.services.State(u"Tavportsvc"), win::kServiceStopPending);
}

TEST_F(ServiceState, ServiceWithoutWaitHintStillLetsTimePass) {
    world.services.Config(u"Tavportsvc").state = win::kServiceStopped;
    world.services.Config(u"Tavportsvc").startDelayMs = sim::kStaysPending;
    const uint32_t start = Now();
    EXPECT_EQ(ChangeServiceState(world.platform, 1, u"Tavportsvc"), 0);
    EXPECT_EQ(Now() - start, kServiceStateWaitMs);
}

// The manager and the service refuse an ordinary user the rights the utility asks for.
TEST_F(ServiceState, StandardUserCanNeitherStopNorStartAService) {
    world.services.SetCaller(sim::SimCaller::kStandardUser);
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), 0);
    EXPECT_EQ(world.services.State(u"Tavportsvc"), win::kServiceRunning);
    EXPECT_EQ(CallsOf({"StartServiceW", "ControlService", "OpenServiceW"}).size(), 0u);
    EXPECT_EQ(world.services.OpenHandles(), 0u);
}

// A service polled every millisecond (wait hint 1) that settles at `delay`: the wait takes
// it up to and including the 30 s mark and gives up on one that needs a millisecond more.
constexpr uint32_t kThirtySeconds = 30000;

struct StateWaitCase {
    const char* name;
    uint32_t delayMs;
    int result;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const StateWaitCase& c, std::ostream* os) {
    *os << c.name;
}

class ServiceStateBudget : public PrinterFixture,
                           public ::testing::WithParamInterface<StateWaitCase> {};

TEST_P(ServiceStateBudget, ServiceSettlingAtTheBudgetIsStillSeen) {
    world.services.Config(u"Tavportsvc").stopDelayMs = GetParam().delayMs;
    world.services.Config(u"Tavportsvc").waitHint = 1;
    const uint32_t start = Now();
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Tavportsvc"), GetParam().result);
    EXPECT_EQ(Now() - start, std::min(GetParam().delayMs, kThirtySeconds));
}

INSTANTIATE_TEST_SUITE_P(Boundary, ServiceStateBudget,
                         ::testing::Values(StateWaitCase{"OneMsBefore", kThirtySeconds - 1, 1},
                                           StateWaitCase{"AtTheBudget", kThirtySeconds, 1},
                                           StateWaitCase{"OneMsAfter", kThirtySeconds + 1, 0}),
                         [](const ::testing::TestParamInfo<StateWaitCase>& c) {
                             return c.param.name;
                         });

TEST_F(ServiceState, SpoolerCannotStopWhileLpdRuns) {
    EXPECT_EQ(ChangeServiceState(world.platform, 0, u"Spooler"), 0);
    EXPECT_EQ(world.services.State(u"Spooler"), win::kServiceRunning);
}

class SpoolerStart : public PrinterFixture {
  protected:
    void StopSpooler() {
        world.services.Config(u"Lpdsvc").state = win::kServiceStopped;
        world.services.Config(u"Spooler").state = win::kServiceStopped;
    }
};

TEST_F(SpoolerStart, WaitsUntilTheSpoolerAnswers) {
    StopSpooler();
    world.spooler.SetRpcDelay(1000);
    const uint32_t start = Now();
    EXPECT_EQ(StartPrintSpooler(world.platform), 1);
    EXPECT_TRUE(world.spooler.Answers());
    // Polls every 300 ms: 0, 300, 600, 900 fail with 1722; 1200 answers.
    EXPECT_EQ(Now() - start, 1200u);
    EXPECT_EQ(Calls("EnumPrintersW"), 5u);
    EXPECT_EQ(Calls("StartServiceW"), 1u);  // later requests find it running
    EXPECT_EQ(Calls("GetPrinterDriverDirectoryW"), 1u);
    EXPECT_EQ(world.trace.log.Entries().back(), "GetPrinterDriverDirectoryW level=1");
    // Its outcome is ignored, so only the spooler can tell that it took the arguments.
    EXPECT_TRUE(world.spooler.DriverDirectoryRefusals().empty());
    EXPECT_EQ(world.spooler.DriverDirectoryAnswers(), 1);
}

TEST_F(SpoolerStart, GivesUpAfterFiveSecondsWithTheStartResult) {
    StopSpooler();
    world.spooler.SetRpcDelay(60000);
    const uint32_t start = Now();
    EXPECT_EQ(StartPrintSpooler(world.platform), 1);  // it was started, though not answering
    EXPECT_FALSE(world.spooler.Answers());
    EXPECT_GT(Now() - start, 5000u);
    EXPECT_LE(Now() - start, 5300u);
    EXPECT_EQ(Calls("GetPrinterDriverDirectoryW"), 1u);
}

// The spooler is stopped by someone else 10 ms into the wait and takes `restartMs` to come
// back when the wait starts it again at 300 ms, which moves the 300 ms poll grid: with 200
// a check falls on 5000 ms, still inside the window; with 201 one falls on 5001 ms, past it.
struct SpoolerWindowCase {
    const char* name;
    uint32_t restartMs;
    uint32_t endsAtMs;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const SpoolerWindowCase& c, std::ostream* os) {
    *os << c.name;
}

class SpoolerWindow : public SpoolerStart,
                      public ::testing::WithParamInterface<SpoolerWindowCase> {};

TEST_P(SpoolerWindow, CheckAtFiveSecondsPollsOnceMore) {
    StopSpooler();
    world.spooler.SetRpcDelay(60000);
    world.clock.Schedule(10, [this] {
        world.services.Config(u"Spooler").state = win::kServiceStopped;
        world.services.Config(u"Spooler").startDelayMs = GetParam().restartMs;
        world.services.Config(u"Spooler").waitHint = 1;
    });
    const uint32_t start = Now();
    EXPECT_EQ(StartPrintSpooler(world.platform), 1);
    EXPECT_EQ(Now() - start, GetParam().endsAtMs);
    EXPECT_EQ(Calls("StartServiceW"), 2u);
}

INSTANTIATE_TEST_SUITE_P(Boundary, SpoolerWindow,
                         ::testing::Values(SpoolerWindowCase{"CheckAtTheWindow", 200, 5300},
                                           SpoolerWindowCase{"CheckOneMsAfter", 201, 5001}),
                         [](const ::testing::TestParamInfo<SpoolerWindowCase>& c) {
                             return c.param.name;
                         });

TEST_F(SpoolerStart, RunningSpoolerThatAnswersIsLeftAsItIs) {
    EXPECT_EQ(StartPrintSpooler(world.platform), 1);
    EXPECT_EQ(Calls("StartServiceW"), 0u);
    EXPECT_EQ(Calls("EnumPrintersW"), 1u);
}

TEST_F(SpoolerStart, SpoolerThatCannotStartGivesZeroAfterTheWindow) {
    StopSpooler();
    world.services.Config(u"Spooler").refuseStart = 1058;
    EXPECT_EQ(StartPrintSpooler(world.platform), 0);
}

}  // namespace
}  // namespace tav::test
