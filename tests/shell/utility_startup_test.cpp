// Start and exit orders of the utility against fakes of its platform.

#include "tavsetup/shell/utility_startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_startup_platform.h"
#include "tavsetup/shell/printer_link_instance.h"

namespace tav::test {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kMutexName = "Global\\____TAV_IO_SETUP_SOFTWARE____";

class UtilityStartupTest : public ::testing::Test {
  protected:
    UtilityStartup MakeStartup() {
        return UtilityStartup(
            StartupSeams{kernel, windows, services, [this](const std::u16string&) {
                             log.Record("RunMainWindow");
                             linkSeen = g_pPrinterLink;
                             if (whileRunning)
                                 whileRunning();
                         }});
    }
    std::vector<std::string> Calls(const std::string& prefix) const {
        return log.EntriesStartingWith(prefix);
    }

    sim::CallLog log;
    FakeKernel kernel{log};
    FakeWindows windows{log};
    FakeExitServices services{log};
    PrinterLink* linkSeen = nullptr;
    std::function<void()> whileRunning;
};

TEST_F(UtilityStartupTest, FirstInstanceRunsAndExitsInOrder) {
    UtilityStartup app = MakeStartup();
    whileRunning = [&] {
        // The link exists, empty, while the main window runs.
        ASSERT_NE(g_pPrinterLink, nullptr);
        EXPECT_FALSE(g_pPrinterLink->pszDevicePath.has_value());
        EXPECT_EQ(g_pPrinterLink->bSerialMode, 0);
        EXPECT_EQ(g_pPrinterLink->hDevice, win::kNoHandle);
        EXPECT_EQ(g_pPrinterLink->pszMfg, g_pPrinterLink->szDeviceId);
        EXPECT_EQ(g_pPrinterLink->pszMdl, g_pPrinterLink->szDeviceId);
        EXPECT_EQ(app.m_hInstanceMutex, 0x4Du);
    };
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_THAT(
        log.Entries(),
        ElementsAre("InitCommonControlsEx 8 255", "LoadStringW 112",
                    "ConvertSddl D:(A;;GA;;;SY)(A;;GA;;;WD)(A;;GA;;;AN)S:AI(ML;;NWNR;;;S-1-16-0) 1",
                    "CreateMutexW 93 owned " + kMutexName, "LocalFree 93",
                    "GetProcAddress IsWow64Process", "IsWow64Process", "RunMainWindow",
                    "StartPrintSpooler", "ReleaseMutex 77", "CloseHandle 77",
                    "StopService Tavportsvc", "StartService Tavportsvc", "RestartLpdService 0"));
    EXPECT_EQ(app.m_strTitle, u"Communication Settings Utility");
    EXPECT_EQ(app.m_hInstanceMutex, win::kNoHandle);
    EXPECT_EQ(g_pPrinterLink, nullptr);
    EXPECT_NE(linkSeen, nullptr);
}

TEST_F(UtilityStartupTest, DeviceLeftOpenIsClosedAfterTheSpoolerStart) {
    UtilityStartup app = MakeStartup();
    whileRunning = [] {
        g_pPrinterLink->hDevice = 0x99;
        g_pPrinterLink->bLpdStopped = 1;  // the open fallback stopped the LPD service
    };
    app.InitInstance();
    const auto entries = log.Entries();
    const auto at = [&](const std::string& e) {
        return std::find(entries.begin(), entries.end(), e) - entries.begin();
    };
    EXPECT_LT(at("StartPrintSpooler"), at("CloseDevice 153"));
    EXPECT_LT(at("CloseDevice 153"), at("ReleaseMutex 77"));
    EXPECT_EQ(entries.back(), "RestartLpdService 1");
}

TEST_F(UtilityStartupTest, SecondInstanceBringsTheFirstForwardAndEnds) {
    kernel.mutexExists = true;
    windows.topLevel = {{0x100}, {0x200, true, true, 0x250}, {0x300, true}};
    UtilityStartup app = MakeStartup();
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_THAT(Calls("GetPropW"),
                ElementsAre("GetPropW 256 " + kMutexName, "GetPropW 512 " + kMutexName));
    EXPECT_THAT(Calls("ShowWindow"), ElementsAre("ShowWindow SW_RESTORE 512"));
    EXPECT_THAT(Calls("SetForegroundWindow"), ElementsAre("SetForegroundWindow 592"));
    // Not the owner: the handle is closed, never released; nothing else happens.
    EXPECT_THAT(Calls("ReleaseMutex"), IsEmpty());
    EXPECT_THAT(Calls("CloseHandle"), ElementsAre("CloseHandle 77"));
    EXPECT_THAT(Calls("RunMainWindow"), IsEmpty());
    EXPECT_THAT(Calls("IsWow64Process"), IsEmpty());
    EXPECT_THAT(Calls("St"), IsEmpty());  // no service touched
    EXPECT_EQ(app.m_hInstanceMutex, win::kNoHandle);
}

TEST_F(UtilityStartupTest, SecondInstanceWithoutPopupOrWindow) {
    kernel.mutexExists = true;
    windows.topLevel = {{0x100, true}};  // shown, not minimised, no pop-up
    MakeStartup().InitInstance();
    EXPECT_THAT(Calls("ShowWindow"), IsEmpty());
    EXPECT_THAT(Calls("SetForegroundWindow"), ElementsAre("SetForegroundWindow 256"));

    log.Clear();
    windows.topLevel = {{0x100}, {0x200}};  // the first instance has no window (yet)
    EXPECT_EQ(MakeStartup().InitInstance(), 0);
    EXPECT_THAT(Calls("SetForegroundWindow"), IsEmpty());
    EXPECT_THAT(Calls("RunMainWindow"), IsEmpty());
}

TEST_F(UtilityStartupTest, MutexOrDescriptorFailureEndsSilently) {
    kernel.sddlFails = true;
    EXPECT_EQ(MakeStartup().AcquireSingleInstance(), 0);
    EXPECT_THAT(Calls("CreateMutexW"), IsEmpty());

    kernel.sddlFails = false;
    kernel.mutexFails = true;
    log.Clear();
    EXPECT_EQ(MakeStartup().InitInstance(), 0);
    EXPECT_THAT(Calls("LocalFree"), ElementsAre("LocalFree 93"));  // descriptor not leaked
    EXPECT_THAT(Calls("MessageBoxW"), IsEmpty());
    EXPECT_THAT(Calls("RunMainWindow"), IsEmpty());
    EXPECT_THAT(Calls("St"), IsEmpty());
}

TEST_F(UtilityStartupTest, Wow64IsRefusedWithMessage126) {
    kernel.underWow64 = true;
    windows.foreground = 0x777;
    UtilityStartup app = MakeStartup();
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_THAT(Calls("MessageBoxW"),
                ElementsAre("MessageBoxW 1911 'This software needs  32-bit platforms!!' "
                            "'Communication Settings Utility' 262160"));
    EXPECT_THAT(Calls("RunMainWindow"), IsEmpty());
    EXPECT_THAT(Calls("St"), IsEmpty());
    // The mutex was taken first and goes with the refusal.
    EXPECT_THAT(Calls("ReleaseMutex"), ElementsAre("ReleaseMutex 77"));
    EXPECT_EQ(g_pPrinterLink, nullptr);
}

TEST_F(UtilityStartupTest, MissingOrFailingIsWow64ProcessPassesTheCheck) {
    kernel.underWow64 = true;
    kernel.hasIsWow64Process = false;
    MakeStartup().InitInstance();
    EXPECT_THAT(Calls("IsWow64Process"), IsEmpty());
    EXPECT_THAT(Calls("RunMainWindow"), ElementsAre("RunMainWindow"));

    log.Clear();
    kernel.hasIsWow64Process = true;
    kernel.isWow64Fails = true;
    MakeStartup().InitInstance();
    EXPECT_THAT(Calls("MessageBoxW"), IsEmpty());
    EXPECT_THAT(Calls("RunMainWindow"), ElementsAre("RunMainWindow"));
}

}  // namespace
}  // namespace tav::test
