// The driver type page: the type shown follows the last discovery, the port driver check
// before a switch to the virtual serial type, and the USB class byte written.
#include "tavsetup/pages/driver_type_page.h"

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/res/resource.h"
#include "tests/pages/page_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FakeDriverTypeServices : public DriverTypeServices {
  public:
    bool IsPortDriverAvailable() override {
        ++availabilityChecks;
        return driverInstalled;
    }
    void RefreshPnpDevices() override { ++refreshes; }
    bool driverInstalled = true;
    int availabilityChecks = 0;
    int refreshes = 0;
};

class DriverTypePageTest : public PageFixture<DriverTypePage> {
  protected:
    FakeDriverTypeServices services;
    const PageLayout& Layout() override { return VComPageLayout(); }
    void SetUp() override {
        PageFixture::SetUp();
        Start(services);
    }
};

TEST_F(DriverTypePageTest, APrintingClassPrinterShowsPrinterDriver) {
    EXPECT_EQ(Text(IDC_VCOM_LABEL), u"Receiving the printer data...");
    EXPECT_FALSE(Enabled(IDC_VCOM_APPLY));
    EXPECT_EQ(Status(kStatusPrinterReady), 1);
    EXPECT_EQ(Text(IDC_VCOM_LABEL), u"Driver Type\t\t\t");
    EXPECT_EQ(Text(IDC_VCOM_VALUE), u": Printer Driver");
    EXPECT_TRUE(Checked(IDC_VCOM_PRINTER_DRIVER));
    EXPECT_FALSE(Enabled(IDC_VCOM_APPLY));
    view.Click(IDC_VCOM_SERIAL_DRIVER);
    EXPECT_TRUE(Enabled(IDC_VCOM_APPLY));
    view.Click(IDC_VCOM_PRINTER_DRIVER);
    EXPECT_FALSE(Enabled(IDC_VCOM_APPLY));
}

TEST_F(DriverTypePageTest, ASerialModePrinterShowsTheVirtualSerialType) {
    link.bSerialMode = 1;
    Status(kStatusPrinterReady);
    EXPECT_EQ(Text(IDC_VCOM_VALUE), u": Virtual Serial Port Driver");
    EXPECT_TRUE(Checked(IDC_VCOM_SERIAL_DRIVER));
    view.Click(IDC_VCOM_PRINTER_DRIVER);
    EXPECT_TRUE(Enabled(IDC_VCOM_APPLY));
}

TEST_F(DriverTypePageTest, MissingPortDriverShowsTheBoxAndSendsNothing) {
    services.driverInstalled = false;
    Status(kStatusPrinterReady);
    view.Click(IDC_VCOM_SERIAL_DRIVER);
    view.Click(IDC_VCOM_APPLY);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, u"This operation needs the install of virtual serial driver!!");
    EXPECT_EQ(view.boxes[0].caption, u"Communication Settings Utility");
    EXPECT_EQ(view.boxes[0].style, 0x00040030u);  // exclamation, topmost, OK
    EXPECT_EQ(printer.switchQueries, 0);
    EXPECT_THAT(SetRequestEvents(), IsEmpty());
    EXPECT_EQ(Text(IDC_VCOM_VALUE), u": Printer Driver");  // the page kept its state
    EXPECT_TRUE(Enabled(IDC_VCOM_APPLY));
}

TEST_F(DriverTypePageTest, SwitchingToPrinterDriverNeverAsksForThePortDriver) {
    services.driverInstalled = false;
    link.bSerialMode = 1;
    printer.usbClassSwitch = 0x24;
    Status(kStatusPrinterReady);
    view.Click(IDC_VCOM_PRINTER_DRIVER);
    view.Click(IDC_VCOM_APPLY);
    EXPECT_EQ(services.availabilityChecks, 0);
    EXPECT_THAT(SetRequestEvents(), ElementsAre("send 0x8001", "write 12 75 03 25 12 40"));
    EXPECT_EQ(Text(IDC_VCOM_LABEL), u"Switching the driver type...");
    EXPECT_THAT(EnabledInputs(), IsEmpty());
}

TEST_F(DriverTypePageTest, SwitchingToVirtualSerialClearsBitZero) {
    Status(kStatusPrinterReady);
    view.Click(IDC_VCOM_SERIAL_DRIVER);
    view.Click(IDC_VCOM_APPLY);
    EXPECT_EQ(services.availabilityChecks, 1);
    EXPECT_THAT(SetRequestEvents(), ElementsAre("send 0x8001", "write 12 75 03 24 12 40"));
}

TEST_F(DriverTypePageTest, AShortSwitchBlockWritesNothingAndShowsTheCommunicationError) {
    printer.switchSize = 127;
    Status(kStatusPrinterReady);
    view.Click(IDC_VCOM_SERIAL_DRIVER);
    view.Click(IDC_VCOM_APPLY);
    EXPECT_EQ(printer.switchQueries, 1);
    EXPECT_THAT(SetRequestEvents(), IsEmpty());  // no watch, no write
    EXPECT_EQ(Text(IDC_VCOM_LABEL), u"Communication error occurred!!");
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_VCOM_REFRESH));
}

TEST_F(DriverTypePageTest, EveryRefreshRunsThePnpRefreshAlsoOnMessagePaths) {
    EXPECT_EQ(Status(kStatusUndetected), 1);
    EXPECT_EQ(services.refreshes, 1);
    EXPECT_EQ(Text(IDC_VCOM_LABEL), u"Printer is undetected!!");
    EXPECT_EQ(Text(IDC_VCOM_VALUE), u"");
    EXPECT_TRUE(Checked(IDC_VCOM_PRINTER_DRIVER));  // nothing was selected
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_VCOM_REFRESH));
    Status(kStatusCommunicationError);
    Status(kStatusPrinterReady);
    EXPECT_EQ(services.refreshes, 3);
}

TEST_F(DriverTypePageTest, AMessagePathKeepsASelection) {
    view.Click(IDC_VCOM_SERIAL_DRIVER);
    Status(kStatusSeveralPrinters);
    EXPECT_TRUE(Checked(IDC_VCOM_SERIAL_DRIVER));
    EXPECT_FALSE(Checked(IDC_VCOM_PRINTER_DRIVER));
}

}  // namespace
}  // namespace tav::test
