// Keys, system commands, tab pages and placement of the main window; the pages' shared
// message paths.

#include "tavsetup/shell/main_window_rules.h"

#include <map>

#include <gtest/gtest.h>

#include "tavsetup/res/resource.h"
#include "tavsetup/shell/page_layouts.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::test {
namespace {

TEST(MainWindowRules, EnterAndEscapeAreSwallowedOnlyAsKeyDown) {
    EXPECT_TRUE(IsSwallowedKey(win::kWmKeyDown, win::kVkReturn));
    EXPECT_TRUE(IsSwallowedKey(win::kWmKeyDown, win::kVkEscape));
    EXPECT_FALSE(IsSwallowedKey(win::kWmKeyDown, 0x70 /* F1 */));
    EXPECT_FALSE(IsSwallowedKey(win::kWmKeyDown, 0x09 /* Tab */));
    EXPECT_FALSE(IsSwallowedKey(0x0101 /* WM_KEYUP */, win::kVkReturn));
    EXPECT_FALSE(IsSwallowedKey(0x0102 /* WM_CHAR */, win::kVkEscape));
}

TEST(MainWindowRules, AboutBoxCommandIgnoresTheLowFourBits) {
    EXPECT_TRUE(IsAboutBoxCommand(0x10));
    EXPECT_TRUE(IsAboutBoxCommand(0x1F));
    EXPECT_FALSE(IsAboutBoxCommand(0x20));
    EXPECT_FALSE(IsAboutBoxCommand(0xF060 /* SC_CLOSE */));
}

TEST(MainWindowRules, TabsShowTheirPagesAndUnknownIndicesTheFirst) {
    EXPECT_EQ(PageForTab(0), Page::VCom);
    EXPECT_EQ(PageForTab(1), Page::Bidi);
    EXPECT_EQ(PageForTab(2), Page::SerId);
    EXPECT_EQ(PageForTab(3), Page::VCom);
    EXPECT_EQ(PageForTab(-1), Page::VCom);
}

TEST(MainWindowRules, PagesShareOneRectangleBelowTheHeaders) {
    const PageRect r = PlacePage(35, 373, 270);
    EXPECT_EQ(r.left, 25);
    EXPECT_EQ(r.top, 35);
    EXPECT_EQ(r.width, 348);
    EXPECT_EQ(r.height, 235);
}

TEST(MainWindowRules, IconIsCentredRoundingUp) {
    EXPECT_EQ(IconOffset(36, 32), 2);
    EXPECT_EQ(IconOffset(37, 32), 3);
    EXPECT_EQ(IconOffset(32, 32), 0);
}

// A page's controls as the shared behaviour leaves them.
class FakePage : public PageShellView {
  public:
    std::u16string LoadString(uint32_t id) override { return u"#" + FromId(id); }
    void SetText(uint32_t control, const std::u16string& text) override { texts[control] = text; }
    void Enable(uint32_t control, bool enable) override { enabled[control] = enable; }
    void PostRedetect() override { ++redetects; }

    static std::u16string FromId(uint32_t id) {
        std::u16string s;
        for (char c : std::to_string(id))
            s += static_cast<char16_t>(c);
        return s;
    }
    std::map<uint32_t, std::u16string> texts;
    std::map<uint32_t, bool> enabled;
    int redetects = 0;
};

TEST(PageShell, StartTextsComeFromTheStringTable) {
    FakePage page;
    SetPageStartTexts(page, SerIdPageLayout());
    EXPECT_EQ(page.texts[IDC_SERID_TITLE], u"#140");
    EXPECT_EQ(page.texts[IDC_SERID_APPLY], u"#106");
    EXPECT_EQ(page.texts[IDC_SERID_REFRESH], u"#108");
    EXPECT_EQ(page.texts[IDC_SERID_GROUP], u"#111");
    EXPECT_EQ(page.texts[IDC_SERID_AUTO], u"#104");
    EXPECT_EQ(page.texts[IDC_SERID_MANUAL], u"#105");
    EXPECT_EQ(page.texts[IDC_SERID_UNDEFINED], u"#107");
    EXPECT_EQ(page.texts[IDC_SERID_LABEL], u"#103");
}

TEST(PageShell, MessagePathLeavesOnlyRefreshEnabled) {
    for (const PageLayout* layout : {&SerIdPageLayout(), &VComPageLayout(), &BidiPageLayout()}) {
        for (uint32_t status : {102u, 113u, 125u}) {
            FakePage page;
            for (uint32_t input : layout->inputs)
                page.enabled[input] = true;
            page.texts[layout->value] = u"old value";
            ShowPageMessage(page, *layout, status);
            EXPECT_EQ(page.texts[layout->label], u"#" + FakePage::FromId(status));
            EXPECT_EQ(page.texts[layout->value], u"");
            EXPECT_TRUE(page.enabled[layout->refresh]);
            for (uint32_t input : layout->inputs)
                EXPECT_FALSE(page.enabled[input]) << "control " << input;
        }
    }
}

TEST(PageShell, StatusZeroWithoutPathShows113) {
    EXPECT_EQ(PageMessageForStatus(0, false), 113u);
    EXPECT_EQ(PageMessageForStatus(0, true), 0u);
    EXPECT_EQ(PageMessageForStatus(102, true), 102u);
    EXPECT_EQ(PageMessageForStatus(125, false), 125u);
}

TEST(PageShell, CommandsOfThePageControls) {
    const PageLayout& vcom = VComPageLayout();
    EXPECT_EQ(ClassifyPageCommand(vcom, win::kIdOk, 0), PageCommand::Swallow);
    EXPECT_EQ(ClassifyPageCommand(vcom, win::kIdCancel, 0), PageCommand::Swallow);
    EXPECT_EQ(ClassifyPageCommand(vcom, IDC_VCOM_REFRESH, 0), PageCommand::Refresh);
    EXPECT_EQ(ClassifyPageCommand(vcom, IDC_VCOM_APPLY, 0), PageCommand::Apply);
    EXPECT_EQ(ClassifyPageCommand(vcom, IDC_VCOM_SERIAL_DRIVER, 0), PageCommand::Radio);
    EXPECT_EQ(ClassifyPageCommand(vcom, IDC_VCOM_APPLY, 6 /* BN_SETFOCUS */), PageCommand::Other);
    EXPECT_EQ(ClassifyPageCommand(vcom, IDC_VCOM_LABEL, 0), PageCommand::Other);
    // The edit of the serial number page is an input, not a choice.
    EXPECT_EQ(ClassifyPageCommand(SerIdPageLayout(), IDC_SERID_EDIT, 0), PageCommand::Other);
}

}  // namespace
}  // namespace tav::test
