// The main window's detection cycle in virtual time.

#include "tavsetup/shell/detection_cycle.h"

#include <gtest/gtest.h>

#include <ostream>

#include "fake_printers.h"
#include "sim/shell/sim_main_window.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using Statuses = std::vector<uint32_t>;

class DetectionCycleTest : public ::testing::Test {
  protected:
    // Every status went to all three pages, in the order SerId, VCom, Bidi; returns them.
    Statuses Reported() {
        Statuses out;
        EXPECT_EQ(window.posted.size() % 3, 0u);
        for (size_t i = 0; i + 2 < window.posted.size(); i += 3) {
            EXPECT_EQ(window.posted[i].page, Page::SerId);
            EXPECT_EQ(window.posted[i + 1].page, Page::VCom);
            EXPECT_EQ(window.posted[i + 2].page, Page::Bidi);
            EXPECT_EQ(window.posted[i].status, window.posted[i + 2].status);
            out.push_back(window.posted[i].status);
        }
        return out;
    }
    uint64_t LastPostedAt() const { return window.posted.back().at; }

    // A printer arrives or leaves: the system broadcasts the change.
    void SetPrinterCount(int count) {
        printers.count = count;
        window.DeviceNodesChanged();
    }

    // A page's change request at the current time: the watch opens.
    void BeginWatch() {
        window.Post(WM_BEGIN_WATCH);
        window.Pump();
    }

    FakePrinters printers;
    sim::SimMainWindow window{printers};
};

TEST_F(DetectionCycleTest, StartReportsTheStatusOfWhatIsAttached) {
    struct Case {
        int count;
        bool pathKept;
        bool idAccepted;
        bool enumerationFails;
        uint32_t status;
    };
    const Case cases[] = {
        {0, true, true, false, kStatusUndetected},
        {1, true, true, false, kStatusPrinterReady},
        {1, true, false, false, kStatusCommunicationError},
        {1, false, true, false, kStatusUndetected},
        {2, true, true, false, kStatusSeveralPrinters},
        {0, true, true, true, kStatusUndetected},  // a failing enumeration reads as absent
    };
    for (const Case& c : cases) {
        FakePrinters local;
        local.count = c.count;
        local.pathKept = c.pathKept;
        local.idAccepted = c.idAccepted;
        local.enumerationFails = c.enumerationFails;
        sim::SimMainWindow w(local);
        w.Start();
        ASSERT_EQ(w.posted.size(), 3u) << "count " << c.count;
        EXPECT_EQ(w.StatusesOf(Page::SerId), Statuses{c.status});
        EXPECT_EQ(w.StatusesOf(Page::VCom), Statuses{c.status});
        EXPECT_EQ(w.StatusesOf(Page::Bidi), Statuses{c.status});
        // The ID is read only for exactly one printer with a path.
        EXPECT_EQ(local.idChecks, (c.count == 1 && c.pathKept && !c.enumerationFails) ? 1 : 0);
        EXPECT_EQ(w.warningsShown, c.status == kStatusSeveralPrinters ? 1 : 0);
    }
}

TEST_F(DetectionCycleTest, TwoPrintersWarnOnEveryStep) {
    printers.count = 2;
    window.Start();
    window.DeviceNodesChanged();
    window.Pump();
    window.Post(WM_REDETECT);
    window.Pump();
    EXPECT_EQ(Reported(), (Statuses{102, 102, 102}));
    EXPECT_EQ(window.warningsShown, 3);
}

TEST_F(DetectionCycleTest, AtMostOneWarningBoxAtATime) {
    printers.count = 2;
    int nested = 0;
    window.whileWarningOpen = [&] {
        // Device changes arrive while the box is open; its loop dispatches them.
        if (nested++ < 3) {
            window.DeviceNodesChanged();
            window.Pump();
        }
    };
    window.Start();
    EXPECT_EQ(window.maxOpenWarnings, 1);
    EXPECT_EQ(window.warningsShown, 1);
    // The nested step reported at once; the outer one after its box closed.
    EXPECT_EQ(Reported(), (Statuses{102, 102}));
    // Once closed, the next step may warn again.
    window.DeviceNodesChanged();
    window.Pump();
    EXPECT_EQ(window.warningsShown, 2);
}

TEST_F(DetectionCycleTest, RefreshWhileIdleReportsAgain) {
    printers.count = 1;
    window.Start();
    window.Post(WM_REDETECT);
    window.Pump();
    EXPECT_EQ(Reported(), (Statuses{0, 0}));
    EXPECT_EQ(window.cycle.m_nLastCount, 1);
}

TEST_F(DetectionCycleTest, RefreshDuringWatchIsNotHeldBack) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(300);
    window.Post(WM_REDETECT);
    window.Pump();
    EXPECT_EQ(Reported(), (Statuses{0, 0}));
    EXPECT_EQ(LastPostedAt(), 300u);
    EXPECT_EQ(window.cycle.m_bWatching, 0);
    EXPECT_FALSE(window.timerPeriod.has_value());
    window.RunFor(6000);  // the watch ended with the report: nothing more comes
    EXPECT_EQ(Reported().size(), 2u);
}

TEST_F(DetectionCycleTest, PrinterReturningWithinTheWindowGivesNo113) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    EXPECT_EQ(window.timerPeriod, kWatchWindowMs);
    window.RunFor(400);
    SetPrinterCount(0);  // the printer leaves the bus
    window.RunFor(2600);
    SetPrinterCount(1);  // and comes back in its new mode
    window.RunFor(10);
    EXPECT_EQ(Reported(), (Statuses{0, 0}));
    EXPECT_EQ(LastPostedAt(), 3000u);
    EXPECT_EQ(window.cycle.m_bWatching, 0);
    window.RunFor(6000);
    EXPECT_EQ(Reported().size(), 2u);
}

// The printer leaves at 100 ms and returns at `returnAt`: within the 5 s watch window no 113
// is shown; a millisecond after the window closed, 113 came first.
struct WatchCase {
    const char* name;
    uint32_t returnAt;
    Statuses reported;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const WatchCase& c, std::ostream* os) {
    *os << c.name;
}

class WatchWindowBoundary : public DetectionCycleTest,
                            public ::testing::WithParamInterface<WatchCase> {};

TEST_P(WatchWindowBoundary, PrinterReturningBeforeTheWindowClosesGivesNo113) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(100);
    SetPrinterCount(0);
    window.RunFor(GetParam().returnAt - 100);
    SetPrinterCount(1);
    window.RunFor(1);
    EXPECT_EQ(Reported(), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Boundary, WatchWindowBoundary,
                         ::testing::Values(WatchCase{"OneMsBefore", 4999, Statuses{0, 0}},
                                           WatchCase{"OneMsAfter", 5001, Statuses{0, 113, 0}}),
                         [](const ::testing::TestParamInfo<WatchCase>& c) { return c.param.name; });

TEST_F(DetectionCycleTest, ReturningPrinterWithBadIdReports125) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    SetPrinterCount(0);
    window.RunFor(1000);
    printers.idAccepted = false;
    SetPrinterCount(1);
    window.RunFor(1);
    EXPECT_EQ(Reported(), (Statuses{0, 125}));
}

TEST_F(DetectionCycleTest, UnchangedPrinterEndsTheWatchAfter500ms) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(1000);
    window.DeviceNodesChanged();  // some other device; the printer is still there
    window.RunFor(499);
    EXPECT_EQ(window.timerPeriod, kRecheckMs);
    EXPECT_EQ(Reported().size(), 1u);
    window.RunFor(10);
    EXPECT_EQ(Reported(), (Statuses{0, 0}));
    EXPECT_EQ(LastPostedAt(), 1500u);
}

TEST_F(DetectionCycleTest, PrinterNeverReturningReports113AfterTheWindow) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(100);
    SetPrinterCount(0);
    window.RunFor(4899);
    EXPECT_EQ(Reported(), (Statuses{0}));  // held back while the window is open
    window.RunFor(10);
    EXPECT_EQ(Reported(), (Statuses{0, 113}));
    EXPECT_EQ(LastPostedAt(), 5000u);
    EXPECT_FALSE(window.timerPeriod.has_value());
}

TEST_F(DetectionCycleTest, UnchangedAbsenceEndsTheWindow500msAfterTheLastStep) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(100);
    SetPrinterCount(0);
    window.RunFor(1900);
    window.DeviceNodesChanged();  // still no printer: same count as the last step
    window.RunFor(600);
    EXPECT_EQ(Reported(), (Statuses{0, 113}));
    EXPECT_EQ(LastPostedAt(), 2500u);
}

TEST_F(DetectionCycleTest, SeveralPrintersDuringWatchReportAtOnce) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    window.RunFor(200);
    SetPrinterCount(2);
    window.RunFor(1);
    EXPECT_EQ(Reported(), (Statuses{0, 102}));
    EXPECT_EQ(window.cycle.m_bWatching, 0);
    EXPECT_FALSE(window.timerPeriod.has_value());
}

TEST_F(DetectionCycleTest, RoutingOfTheWindowProcedure) {
    printers.count = 1;
    window.Start();
    BeginWatch();
    EXPECT_EQ(RouteCycleMessage(window.cycle, win::kWmClose, 0), Route::ThenDefault);
    EXPECT_FALSE(window.timerPeriod.has_value());  // the close kills timer 0
    EXPECT_EQ(RouteCycleMessage(window.cycle, win::kWmHelp, 0), Route::AnswerZero);
    EXPECT_EQ(RouteCycleMessage(window.cycle, WM_BEGIN_WATCH, 0), Route::AnswerZero);
    EXPECT_EQ(RouteCycleMessage(window.cycle, win::kWmTimer, 0), Route::ThenDefault);
    EXPECT_EQ(window.cycle.m_bWatching, 0);
    EXPECT_EQ(RouteCycleMessage(window.cycle, 0x000F /* WM_PAINT */, 0), Route::Default);

    // Device events other than a change of the device nodes start no step.
    const int before = printers.discoveries;
    window.Pump();  // the step the timer asked for
    EXPECT_EQ(printers.discoveries, before + 1);
    EXPECT_EQ(RouteCycleMessage(window.cycle, win::kWmDeviceChange, 0x8000 /* arrival */),
              Route::ThenDefault);
    window.Pump();
    EXPECT_EQ(printers.discoveries, before + 1);
}

TEST_F(DetectionCycleTest, AFailedStepGetsTheDefaultHandlingAndTheCycleGoesOn) {
    printers.count = 1;
    EXPECT_EQ(RouteCycleMessage(window.cycle, WM_DETECT_PRINTER, 0), Route::AnswerZero);
    printers.outOfMemory = true;
    EXPECT_EQ(RouteCycleMessage(window.cycle, WM_DETECT_PRINTER, 0), Route::Default);
    EXPECT_EQ(RouteCycleMessage(window.cycle, WM_REDETECT, 0), Route::Default);
    printers.outOfMemory = false;
    const size_t before = window.posted.size();
    EXPECT_EQ(RouteCycleMessage(window.cycle, WM_REDETECT, 0), Route::AnswerZero);
    EXPECT_EQ(window.posted.size(), before + 3);  // the next step tells every page again
}

}  // namespace
}  // namespace tav::test
