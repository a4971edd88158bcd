// An iSerialNumber change end to end: Manual "A1" and then Undefined, each time the
// printer resets and the serial page shows the new iSerialNumber.
#include "tests/pages/fake_printer_channel.h"
#include "tests/scenarios/road_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::Each;

TEST_F(RoadTest, SerialNumberChangeEndsWithThePageShowingTheNewText) {
    RecordingPageView& page = window.serialView;
    RunUtility([&] {
        window.RunFor(500);
        EXPECT_EQ(Ansi(page, IDC_SERID_VALUE), ": TAV HX-P300\n\n: D8K0012345\n: D8K0012345");
        EXPECT_TRUE(page.Control(IDC_SERID_AUTO).checked);

        page.Click(IDC_SERID_MANUAL);
        page.Type(IDC_SERID_EDIT, "A1");
        page.Click(IDC_SERID_APPLY);
        EXPECT_EQ(Text(page, IDC_SERID_LABEL), u"Changing the iSerial number");
        EXPECT_EQ(WriteEvent(printer->Writes().back()),
                  "write 12 75 01 41 31 00 00 00 00 00 00 00 00 00 12 40");
        window.RunFor(6000);
        EXPECT_EQ(printer->UsbSerial(), "A1");
        EXPECT_EQ(Ansi(page, IDC_SERID_VALUE), ": TAV HX-P300\n\n: A1\n: D8K0012345");
        EXPECT_TRUE(page.Control(IDC_SERID_MANUAL).checked);
        EXPECT_TRUE(page.Control(IDC_SERID_EDIT).shown);
        EXPECT_TRUE(page.Control(IDC_SERID_APPLY).enabled);  // the edit still holds "A1"

        page.Click(IDC_SERID_UNDEFINED);
        page.Click(IDC_SERID_APPLY);
        window.RunFor(6000);
        EXPECT_EQ(Ansi(page, IDC_SERID_VALUE),
                  ": TAV HX-P300\n\n: Undefined (Disabled)\n: D8K0012345");
        EXPECT_THAT(window.StatusesOf(Page::SerId), Each(0u));
        EXPECT_EQ(window.watchesBegun.size(), 2u);
    });
    EXPECT_EQ(service.starts, 2);
}

}  // namespace
}  // namespace tav::test
