// The pages' shared controls: start-up texts, the message path, what a status shows and
// what a command from a page control means.

#include "tavsetup/pages/page_controls.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/window_messages.h"
#include "tests/pages/recording_page_view.h"

namespace tav::test {
using namespace tav::setup;
namespace {

// A page's controls as the shared behaviour leaves them; each string shows its id.
class FakePage : public RecordingPageView {
  public:
    FakePage() : RecordingPageView(m_events) {}
    std::u16string LoadText(uint32_t id) override { return u"#" + FromId(id); }

    static std::u16string FromId(uint32_t id) {
        std::u16string s;
        for (char c : std::to_string(id))
            s += static_cast<char16_t>(c);
        return s;
    }
    std::u16string& Text(uint32_t control) { return Control(control).text; }
    bool& Enabled(uint32_t control) { return Control(control).enabled; }

  private:
    std::vector<std::string> m_events;
};

TEST(PageShell, StartTextsComeFromTheStringTable) {
    FakePage page;
    SetPageStartTexts(page, SerIdPageLayout());
    EXPECT_EQ(page.Text(IDC_SERID_TITLE), u"#140");
    EXPECT_EQ(page.Text(IDC_SERID_APPLY), u"#106");
    EXPECT_EQ(page.Text(IDC_SERID_REFRESH), u"#108");
    EXPECT_EQ(page.Text(IDC_SERID_GROUP), u"#111");
    EXPECT_EQ(page.Text(IDC_SERID_AUTO), u"#104");
    EXPECT_EQ(page.Text(IDC_SERID_MANUAL), u"#105");
    EXPECT_EQ(page.Text(IDC_SERID_UNDEFINED), u"#107");
    EXPECT_EQ(page.Text(IDC_SERID_LABEL), u"#103");
}

TEST(PageShell, MessagePathLeavesOnlyRefreshEnabled) {
    for (const PageLayout* layout : {&SerIdPageLayout(), &VComPageLayout(), &BidiPageLayout()}) {
        for (uint32_t status : {102u, 113u, 125u}) {
            FakePage page;
            for (uint32_t input : layout->inputs)
                page.Enabled(input) = true;
            page.Text(layout->value) = u"old value";
            ShowPageMessage(page, *layout, status);
            EXPECT_EQ(page.Text(layout->label), u"#" + FakePage::FromId(status));
            EXPECT_EQ(page.Text(layout->value), u"");
            EXPECT_TRUE(page.Enabled(layout->refresh));
            for (uint32_t input : layout->inputs)
                EXPECT_FALSE(page.Enabled(input)) << "control " << input;
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
