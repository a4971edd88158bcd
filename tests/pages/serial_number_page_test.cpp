// The iSerialNumber page: what it shows for each answer of the printer, which inputs it
// leaves enabled, and the set request it builds from the choice.
#include "tavsetup/pages/serial_number_page.h"

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/res/resource.h"
#include "tests/pages/page_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SerialNumberPageTest : public PageFixture<SerialNumberPage> {
  protected:
    const PageLayout& Layout() override { return SerIdPageLayout(); }
    void SetUp() override {
        PageFixture::SetUp();
        Start();
    }
    std::string Value() { return view.Ansi(IDC_SERID_VALUE); }
    bool EditShown() { return view.Control(IDC_SERID_EDIT).shown; }
};

TEST_F(SerialNumberPageTest, StartsWaitingWithALimitedEditAndApplyDisabled) {
    EXPECT_EQ(Text(IDC_SERID_TITLE), u"Modify USB iSerialNumber");
    EXPECT_EQ(Text(IDC_SERID_AUTO), u"Auto (Same as unit serial ID)");
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Receiving the printer data...");
    EXPECT_EQ(view.Control(IDC_SERID_EDIT).limit, 10u);
    EXPECT_TRUE(view.Control(IDC_SERID_EDIT).imeDetached);
    EXPECT_EQ(page->m_bAutoAllowed, 1);
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_SERID_REFRESH, IDC_SERID_AUTO, IDC_SERID_MANUAL,
                                             IDC_SERID_UNDEFINED, IDC_SERID_EDIT));
}

TEST_F(SerialNumberPageTest, AReadyPrinterShowsModelAndBothSerialsWithAutoSelected) {
    EXPECT_EQ(Status(kStatusPrinterReady), 1);
    EXPECT_TRUE(Checked(IDC_SERID_AUTO));
    EXPECT_EQ(view.Ansi(IDC_SERID_LABEL), "Model\n\nUSB iSerialNumber\nUnit Serial Number");
    EXPECT_EQ(Value(), ": TAV HX-P300\n\n: D8K0012345\n: D8K0012345");
    EXPECT_FALSE(EditShown());
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_SERID_REFRESH, IDC_SERID_AUTO, IDC_SERID_MANUAL,
                                             IDC_SERID_UNDEFINED, IDC_SERID_EDIT, IDC_SERID_APPLY));
}

TEST_F(SerialNumberPageTest, UnitSerialUndefinedOrUnansweredDisablesAutoAndSelectsManual) {
    for (auto reply : {std::optional<std::string>(""), std::optional<std::string>()}) {
        printer.unitSerial = reply;
        view.Click(IDC_SERID_AUTO);
        Status(kStatusPrinterReady);
        const std::string shown = reply ? "Undefined" : "---";
        EXPECT_EQ(Value(), ": TAV HX-P300\n\n: D8K0012345\n: " + shown);
        EXPECT_EQ(page->m_bAutoAllowed, 0);
        EXPECT_FALSE(Enabled(IDC_SERID_AUTO));
        EXPECT_FALSE(Checked(IDC_SERID_AUTO));
        EXPECT_TRUE(Checked(IDC_SERID_MANUAL));
        EXPECT_TRUE(EditShown());
        EXPECT_FALSE(Enabled(IDC_SERID_APPLY));  // the edit is empty
    }
}

TEST_F(SerialNumberPageTest, UsbSerialEmptyOrUnanswered) {
    printer.usbSerial = "";
    EXPECT_EQ(Status(kStatusPrinterReady), 1);
    EXPECT_EQ(Value(), ": TAV HX-P300\n\n: Undefined (Disabled)\n: D8K0012345");
    printer.usbSerial.reset();
    EXPECT_EQ(Status(kStatusPrinterReady), 0);
    EXPECT_EQ(Value(), ": TAV HX-P300\n\n: ---\n: D8K0012345");
    EXPECT_TRUE(Enabled(IDC_SERID_APPLY));  // the page stays usable
}

TEST_F(SerialNumberPageTest, ManualApplyFollowsTheEditsText) {
    Status(kStatusPrinterReady);
    view.Click(IDC_SERID_MANUAL);
    EXPECT_TRUE(EditShown());
    EXPECT_FALSE(Enabled(IDC_SERID_APPLY));
    view.Type(IDC_SERID_EDIT, "A");
    EXPECT_TRUE(Enabled(IDC_SERID_APPLY));
    view.Type(IDC_SERID_EDIT, "");
    EXPECT_FALSE(Enabled(IDC_SERID_APPLY));
    view.Type(IDC_SERID_EDIT, "ABCDEFGHIJK");
    EXPECT_EQ(view.AnsiText(IDC_SERID_EDIT), "ABCDEFGHIJ");  // the eleventh is refused
    view.Click(IDC_SERID_UNDEFINED);
    EXPECT_FALSE(EditShown());
    EXPECT_TRUE(Enabled(IDC_SERID_APPLY));
}

TEST_F(SerialNumberPageTest, ApplyUndefinedSendsModeOneWithTenZerosAfterTheWatch) {
    Status(kStatusPrinterReady);
    view.Click(IDC_SERID_UNDEFINED);
    view.Click(IDC_SERID_APPLY);
    EXPECT_THAT(
        SetRequestEvents(),
        ElementsAre("send 0x8001", "write 12 75 01 00 00 00 00 00 00 00 00 00 00 00 12 40"));
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Changing the iSerial number");
    EXPECT_EQ(Value(), "");
    EXPECT_THAT(EnabledInputs(), IsEmpty());  // until the next status
}

TEST_F(SerialNumberPageTest, ApplyManualAndAuto) {
    Status(kStatusPrinterReady);
    view.Click(IDC_SERID_MANUAL);
    view.Type(IDC_SERID_EDIT, "A1");
    view.Click(IDC_SERID_APPLY);
    Status(kStatusPrinterReady);
    view.Click(IDC_SERID_AUTO);
    view.Click(IDC_SERID_APPLY);
    EXPECT_THAT(printer.setRequests,
                ElementsAre(std::vector<uint8_t>{0x12, 0x75, 0x01, 'A', '1', 0, 0, 0, 0, 0, 0, 0, 0,
                                                 0x00, 0x12, 0x40},
                            std::vector<uint8_t>{0x12, 0x75, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                 0x00, 0x12, 0x40}));
}

TEST_F(SerialNumberPageTest, ManualTextIsCutBeforeADoubleByteCharacterThatWouldBeSplit) {
    Status(kStatusPrinterReady);
    view.Click(IDC_SERID_MANUAL);
    // "A" and five Shift JIS characters: 11 bytes; the fifth character would be split.
    view.Type(IDC_SERID_EDIT, "A\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8");
    view.Click(IDC_SERID_APPLY);
    ASSERT_EQ(printer.setRequests.size(), 1u);
    EXPECT_EQ(printer.setRequests[0],
              (std::vector<uint8_t>{0x12, 0x75, 0x01, 'A', 0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4, 0x82,
                                    0xA6, 0x00, 0x00, 0x12, 0x40}));
}

TEST_F(SerialNumberPageTest, MessagePathsShowTheStringWithOnlyRefreshAndZeroTheTexts) {
    Status(kStatusPrinterReady);
    EXPECT_EQ(Status(kStatusSeveralPrinters), 0);
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Multiple printers cannot be connected at a time.");
    EXPECT_EQ(Value(), "");
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_SERID_REFRESH));
    EXPECT_STREQ(page->m_szUsbSerial, "");
    EXPECT_STREQ(page->m_szUnitSerial, "");

    link.pszDevicePath.reset();
    Status(kStatusPrinterReady);
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Printer is undetected!!");

    FillLink(link);
    link.pszMdl = link.szDeviceId + 19;  // the NUL behind "HX-P300"
    const int textQueries = printer.textQueries;
    Status(kStatusPrinterReady);
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Received the invalid printer data!!");
    EXPECT_EQ(printer.textQueries, textQueries);  // nothing asked
}

TEST_F(SerialNumberPageTest, AMessagePathSelectsAutoWhenNothingIsSelected) {
    Status(kStatusUndetected);
    EXPECT_TRUE(Checked(IDC_SERID_AUTO));
}

TEST_F(SerialNumberPageTest, AFailedSetRequestShowsTheCommunicationError) {
    Status(kStatusPrinterReady);
    printer.setRequestsFail = true;
    view.Click(IDC_SERID_APPLY);
    EXPECT_EQ(Text(IDC_SERID_LABEL), u"Communication error occurred!!");
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_SERID_REFRESH));
}

}  // namespace
}  // namespace tav::test
