// A printer response change end to end: the page writes the byte it read with bit 3
// changed, the printer resets and comes back in the same class, the pages read again.
#include "tests/pages/fake_printer_channel.h"
#include "tests/scenarios/road_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::Each;
using ::testing::IsEmpty;

TEST_F(RoadTest, ResponseChangeEndsWithThePagesShowingNotReceive) {
    RecordingPageView& page = window.responseView;
    RunUtility([&] {
        window.RunFor(500);
        EXPECT_EQ(Text(page, IDC_BIDI_VALUE), u": Receive");
        EXPECT_TRUE(page.Control(IDC_BIDI_RECEIVE).checked);
        page.Click(IDC_BIDI_NOT_RECEIVE);
        page.Click(IDC_BIDI_APPLY);
        EXPECT_EQ(Text(page, IDC_BIDI_LABEL), u"Switching the printer response setting");
        EXPECT_EQ(WriteEvent(printer->Writes().back()), "write 12 77 85 72 00 12 40");
        EXPECT_EQ(window.watchesBegun.size(), 1u);

        window.RunFor(6000);
        EXPECT_EQ(printer->Resets(), 1);
        EXPECT_EQ(printer->ResponseSwitch(), 0x72);
        EXPECT_THAT(window.StatusesOf(Page::Bidi), Each(0u));
        EXPECT_EQ(Text(page, IDC_BIDI_LABEL), u"Printer Response\t ");
        EXPECT_EQ(Text(page, IDC_BIDI_VALUE), u": Not receive");
        EXPECT_EQ(window.responsePage->m_bySwitch, 0x72);
        EXPECT_FALSE(page.Control(IDC_BIDI_APPLY).enabled);
        EXPECT_EQ(Text(window.driverView, IDC_VCOM_VALUE), u": Printer Driver");
    });
    // Still a printing-class device: the restarted service has nothing to link.
    EXPECT_EQ(service.starts, 2);
    EXPECT_THAT(service.Ports(), IsEmpty());
}

TEST_F(RoadTest, RefreshDuringTheWatchReportsThePrinterAtOnce) {
    RecordingPageView& page = window.responseView;
    printer->returnDelayMs = 100;
    RunUtility([&] {
        window.RunFor(500);
        page.Click(IDC_BIDI_NOT_RECEIVE);
        page.Click(IDC_BIDI_APPLY);
        window.RunFor(300);  // gone and back, the watch still open
        window.serialView.Click(IDC_SERID_REFRESH);
        window.RunFor(20);
        EXPECT_EQ(Text(page, IDC_BIDI_VALUE), u": Not receive");
    });
}

}  // namespace
}  // namespace tav::test
