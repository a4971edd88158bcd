// The printer response page: the response bit read from the settings block, Apply only for
// a different choice, and the one bit changed in the byte written back.
#include "tavsetup/pages/printer_response_page.h"

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/res/resource.h"
#include "tests/pages/page_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PrinterResponsePageTest : public PageFixture<PrinterResponsePage> {
  protected:
    const PageLayout& Layout() override { return BidiPageLayout(); }
    void SetUp() override {
        PageFixture::SetUp();
        Start();
    }
};

TEST_F(PrinterResponsePageTest, StartsWaitingWithApplyDisabled) {
    EXPECT_EQ(Text(IDC_BIDI_TITLE), u"Switch Printer Response");
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Receiving the printer data...");
    EXPECT_EQ(page->m_bNotReceive, 1);
    EXPECT_THAT(EnabledInputs(),
                ElementsAre(IDC_BIDI_REFRESH, IDC_BIDI_RECEIVE, IDC_BIDI_NOT_RECEIVE));
}

TEST_F(PrinterResponsePageTest, ReceiveBitSetShowsReceiveAndApplyOnlyForNotReceive) {
    printer.settingsByte9 = 0x0A;
    printer.settingsByte10 = 0x07;
    EXPECT_EQ(Status(kStatusPrinterReady), 1);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Printer Response\t ");
    EXPECT_EQ(Text(IDC_BIDI_VALUE), u": Receive");
    EXPECT_EQ(page->m_bySwitch, 0x7A);
    EXPECT_TRUE(Checked(IDC_BIDI_RECEIVE));
    EXPECT_FALSE(Enabled(IDC_BIDI_APPLY));
    view.Click(IDC_BIDI_NOT_RECEIVE);
    EXPECT_TRUE(Enabled(IDC_BIDI_APPLY));
    view.Click(IDC_BIDI_RECEIVE);
    EXPECT_FALSE(Enabled(IDC_BIDI_APPLY));
}

TEST_F(PrinterResponsePageTest, ReceiveBitClearShowsNotReceive) {
    printer.settingsByte9 = 0x32;
    EXPECT_EQ(Status(kStatusPrinterReady), 1);
    EXPECT_EQ(Text(IDC_BIDI_VALUE), u": Not receive");
    EXPECT_TRUE(Checked(IDC_BIDI_NOT_RECEIVE));
    EXPECT_EQ(page->m_bNotReceive, 1);
}

TEST_F(PrinterResponsePageTest, NotReceiveWritesTheByteReadWithOnlyBit3ClearedAfterTheWatch) {
    Status(kStatusPrinterReady);  // 0x7A
    view.Click(IDC_BIDI_NOT_RECEIVE);
    view.Click(IDC_BIDI_APPLY);
    EXPECT_THAT(SetRequestEvents(), ElementsAre("send 0x8001", "write 12 77 85 72 00 12 40"));
    EXPECT_EQ(printer.vendorReads, 1);  // not read again before the write
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Switching the printer response setting");
    EXPECT_THAT(EnabledInputs(), IsEmpty());
}

TEST_F(PrinterResponsePageTest, WrongLengthAndFailedReadHaveTheirOwnMessages) {
    Status(kStatusPrinterReady);
    printer.settingsSize = 83;
    EXPECT_EQ(Status(kStatusPrinterReady), 0);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Received the invalid printer data!!");
    EXPECT_EQ(page->m_bySwitch, 0);
    EXPECT_EQ(page->m_bNotReceive, 0);  // kept from the last read
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_BIDI_REFRESH));
    EXPECT_EQ(Text(IDC_BIDI_VALUE), u"");

    printer.settingsTransacts = false;
    Status(kStatusPrinterReady);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Printer information cannot be received!!");
}

TEST_F(PrinterResponsePageTest, AMessagePathSelectsReceiveOnlyWhenNothingIsSelected) {
    Status(kStatusSeveralPrinters);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Multiple printers cannot be connected at a time.");
    EXPECT_TRUE(Checked(IDC_BIDI_RECEIVE));
    view.Click(IDC_BIDI_NOT_RECEIVE);
    Status(kStatusUndetected);
    EXPECT_TRUE(Checked(IDC_BIDI_NOT_RECEIVE));
    EXPECT_FALSE(Checked(IDC_BIDI_RECEIVE));
}

TEST_F(PrinterResponsePageTest, AFailedSetRequestShowsTheCommunicationError) {
    Status(kStatusPrinterReady);
    view.Click(IDC_BIDI_NOT_RECEIVE);
    printer.setRequestsFail = true;
    view.Click(IDC_BIDI_APPLY);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), u"Communication error occurred!!");
    EXPECT_THAT(EnabledInputs(), ElementsAre(IDC_BIDI_REFRESH));
}

}  // namespace
}  // namespace tav::test
