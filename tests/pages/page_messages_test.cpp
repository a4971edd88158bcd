// The window procedure every page shares, and the cut of 8-bit text at a character boundary.
#include "tavsetup/pages/ansi_text.h"
#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/printer_response_page.h"
#include "tavsetup/res/resource.h"
#include "tests/pages/page_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PageMessagesTest : public PageFixture<PrinterResponsePage> {
  protected:
    const PageLayout& Layout() override { return BidiPageLayout(); }
    void SetUp() override {
        PageFixture::SetUp();
        Start();
        Status(kStatusPrinterReady);
        view.Click(IDC_BIDI_NOT_RECEIVE);
    }
};

TEST_F(PageMessagesTest, EnterAndEscapeAreAnsweredWithZeroAndDoNothing) {
    for (uint32_t id : {win::kIdOk, win::kIdCancel}) {
        const WindowReply reply = view.Message(win::kWmCommand, id);
        EXPECT_EQ(reply.route, Route::AnswerZero);
    }
    EXPECT_EQ(view.endedWith, -1);
    EXPECT_THAT(SetRequestEvents(), IsEmpty());
}

TEST_F(PageMessagesTest, HelpIsSwallowedAndCloseEndsThePage) {
    EXPECT_EQ(view.Message(win::kWmHelp).route, Route::AnswerZero);
    EXPECT_EQ(view.Message(win::kWmClose).route, Route::Default);
    EXPECT_EQ(view.endedWith, 0);
}

TEST_F(PageMessagesTest, WhiteBackgroundOnlyWithThemes) {
    EXPECT_EQ(view.Message(win::kWmCtlColorStatic).route, Route::WhiteBrush);
    EXPECT_EQ(view.Message(win::kWmCtlColorDlg).route, Route::WhiteBrush);
    view.themeActive = false;
    EXPECT_EQ(view.Message(win::kWmCtlColorStatic).route, Route::Default);
}

TEST_F(PageMessagesTest, RefreshOnlyAsksTheMainWindow) {
    const std::u16string label = Text(IDC_BIDI_LABEL);
    view.Click(IDC_BIDI_REFRESH);
    EXPECT_EQ(view.redetects, 1);
    EXPECT_EQ(Text(IDC_BIDI_LABEL), label);
    EXPECT_EQ(printer.vendorReads, 1);
}

TEST_F(PageMessagesTest, AFailureInThePageLogicGetsTheDefaultHandling) {
    EXPECT_EQ(view.Message(WM_PRINTER_STATUS, kStatusCommunicationError).route, Route::Answer);
    view.outOfMemory = true;  // the message path cannot load its text
    const WindowReply status = view.Message(WM_PRINTER_STATUS, kStatusCommunicationError);
    EXPECT_EQ(status.route, Route::Default);
    EXPECT_EQ(status.result, 0);
    view.outOfMemory = false;
    EXPECT_EQ(view.Message(win::kWmHelp).route, Route::AnswerZero);  // the page goes on answering
}

TEST_F(PageMessagesTest, ButtonNotificationsOtherThanClickDoNothing) {
    view.Command(IDC_BIDI_APPLY, 1);  // BN_HILITE-like codes are not clicks
    EXPECT_THAT(SetRequestEvents(), IsEmpty());
}

TEST(CutAnsiText, KeepsWholeCharactersWithinTheBudget) {
    const auto cp932 = [](unsigned char b) { return IsCodePage932LeadByte(b); };
    EXPECT_EQ(CutAnsiText("ABCDEFGHIJKL", 10, cp932), "ABCDEFGHIJ");
    // Five double-byte characters are exactly ten bytes.
    const std::string five = "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8";
    EXPECT_EQ(CutAnsiText(five, 10, cp932), five);
    // The lead byte of a character that would end at byte 11 is not sent alone.
    EXPECT_EQ(CutAnsiText("123456789\x82\xA0", 10, cp932), "123456789");
    // Half-width katakana (0xA1-0xDF) are single bytes.
    EXPECT_EQ(CutAnsiText("\xB1\xB2\xB3", 10, cp932), "\xB1\xB2\xB3");
    // A lead byte without its trail at the end of the text is left out too.
    EXPECT_EQ(CutAnsiText("AB\x82", 10, cp932), "AB");
    // Without double-byte characters the cut is a plain byte count.
    EXPECT_EQ(CutAnsiText("123456789\x82\xA0", 10, [](unsigned char) { return false; }),
              "123456789\x82");
}

TEST(CutAnsiText, CodePage932LeadBytes) {
    for (int b : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsCodePage932LeadByte(static_cast<unsigned char>(b))) << b;
    for (int b : {0x41, 0x80, 0xA0, 0xDF, 0xFD})
        EXPECT_FALSE(IsCodePage932LeadByte(static_cast<unsigned char>(b))) << b;
}

}  // namespace
}  // namespace tav::test
