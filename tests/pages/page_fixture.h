#pragma once
// One page against the recording view, the scripted printer and a PrinterLink that the
// last detection step filled.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "printer/link/printer_link.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"
#include "tests/pages/english_strings.h"
#include "tests/pages/fake_printer_channel.h"
#include "tests/pages/recording_page_view.h"

namespace tav::test {

// The link as detection leaves it for an identified printer: path, MFG "TAV", MDL "HX-P300".
inline void FillLink(setup::PrinterLink& link, int32_t bSerialMode = 0) {
    link.Clear();
    link.pszDevicePath =
        u"\\\\?\\USB#Vid_1B7E&pid_0101#TAV0000001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    link.bSerialMode = bSerialMode;
    std::memcpy(link.szDeviceId, "MFG:TAV\0MDL:HX-P300\0", 20);
    link.pszMfg = link.szDeviceId + 4;
    link.pszMdl = link.szDeviceId + 12;
}

template <class Page>
class PageFixture : public ::testing::Test {
  protected:
    std::vector<std::string> events;
    FakePrinterChannel printer{events};
    setup::PrinterLink link;
    RecordingPageView view{events};
    std::unique_ptr<Page> page;

    void SetUp() override { FillLink(link); }

    template <class... Extra>
    void Start(Extra&... extra) {
        page = std::make_unique<Page>(view, setup::PagePrinter{printer, link}, extra...);
        view.Attach(*page, Layout());
        page->OnInitDialog();
    }
    virtual const setup::PageLayout& Layout() = 0;

    // WM_PRINTER_STATUS as the main window posts it; the page's answer.
    intptr_t Status(uint32_t status) {
        return view.Message(setup::WM_PRINTER_STATUS, status).result;
    }
    std::u16string Text(uint32_t control) { return view.Control(control).text; }
    bool Enabled(uint32_t control) { return view.Control(control).enabled; }
    bool Checked(uint32_t control) { return view.Control(control).checked; }
    // Every control of the page that is enabled, Refresh included.
    std::vector<uint32_t> EnabledInputs() {
        std::vector<uint32_t> all = {Layout().refresh};
        all.insert(all.end(), Layout().inputs.begin(), Layout().inputs.end());
        return view.EnabledOf(all);
    }
    std::vector<std::string> SetRequestEvents() {
        std::vector<std::string> found;
        for (const auto& e : events)
            for (const char* prefix :
                 {"send", "write 12 75 00", "write 12 75 01", "write 12 75 03", "write 12 77"})
                if (e.rfind(prefix, 0) == 0)
                    found.push_back(e);
        return found;
    }
    static std::u16string S(uint32_t id) { return EnglishString(id); }
};

}  // namespace tav::test
