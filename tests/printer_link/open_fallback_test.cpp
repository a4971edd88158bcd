// Opening the printer: the discovery when no path is known, and the print-service fallback
// for a printer in virtual-serial mode that the print services hold.

#include "sim/windows_values.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class OpenFallback : public PrinterFixture {
  protected:
    int Transact() {
        return PrinterTransact(world.platform, link, sim::sdk::kIoctlVendorGetCommand, "abc", 3,
                               reply, 82, &count, 1000);
    }
    std::vector<std::string> ServiceRequests() const {
        return CallsOf({"StartServiceW", "ControlService"});
    }
    uint8_t reply[82] = {};
    uint32_t count = 0;
};

TEST_F(OpenFallback, HeldSerialPrinterIsOpenedAfterStoppingLpdThenSpooler) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.io.SetSpoolerHoldsDevice(true, win::kErrorAccessDenied);
    firmware->QueueIoctl(Reply("settings"));
    const uint32_t start = Now();
    EXPECT_TRUE(Transact());
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(ServiceRequests(),
              (std::vector<std::string>{"ControlService Lpdsvc 1", "ControlService Spooler 1"}));
    EXPECT_EQ(Calls("CreateFileW"), 2u);  // refused, then the first retry after 100 ms
    EXPECT_EQ(Now() - start, 100u);
    EXPECT_EQ(world.services.State(u"Spooler"), win::kServiceStopped);  // stays stopped until exit
    EXPECT_EQ(link.bLpdStopped, 1);
    EXPECT_EQ(link.hDevice, win::kNoHandle);
}

TEST_F(OpenFallback, InvalidFunctionAlsoTakesTheFallback) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.io.SetSpoolerHoldsDevice(true, win::kErrorInvalidFunction);
    EXPECT_TRUE(Transact());
    EXPECT_EQ(Calls("ControlService Spooler"), 1u);
}

TEST_F(OpenFallback, RetriesEvery100MsForTwoSecondsThenStartsTheSpoolerAgain) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.spooler.SetRpcDelay(0);
    world.trace.faults.FailAlways("CreateFileW", win::kErrorAccessDenied);
    const uint32_t start = Now();
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorAccessDenied);
    // The first open, then retries at 100 .. 2000 ms; at 2100 ms the window is over.
    EXPECT_EQ(Calls("CreateFileW"), 1u + 20u);
    EXPECT_EQ(world.services.State(u"Spooler"), win::kServiceRunning);
    EXPECT_EQ(ServiceRequests(),
              (std::vector<std::string>{"ControlService Lpdsvc 1", "ControlService Spooler 1",
                                        "StartServiceW Spooler"}));
    EXPECT_EQ(Now() - start, 2100u);
    EXPECT_EQ(link.hDevice, win::kNoHandle);
    EXPECT_TRUE(firmware->Requests().empty());
}

TEST_F(OpenFallback, PrinterDriverModeNeverTouchesThePrintServices) {
    Plug(sim::PrinterMode::PrinterDriver);
    world.trace.faults.Fail("CreateFileW", win::kErrorAccessDenied);
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorAccessDenied);
    EXPECT_EQ(Calls("OpenSCManagerW"), 0u);
    EXPECT_EQ(Calls("CreateFileW"), 1u);
}

TEST_F(OpenFallback, OtherOpenErrorsFailAtOnceInSerialMode) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.trace.faults.Fail("CreateFileW", win::kErrorFileNotFound);
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorFileNotFound);
    EXPECT_EQ(Calls("OpenSCManagerW"), 0u);
}

// The open shares reading only: a reader that shares both ways may stay, a writer may not.
// A sharing violation (32) is not a hold by the print services, so it fails at once.
TEST_F(OpenFallback, OpenSharesReadingWithOthersButNotWriting) {
    namespace sdk = sim::sdk;
    Plug(sim::PrinterMode::VirtualSerial);
    world.io.HoldOpen(printer.path, sdk::kGenericRead, sdk::kFileShareRead | sdk::kFileShareWrite);
    firmware->QueueIoctl(Reply("settings"));
    EXPECT_TRUE(Transact());
    EXPECT_EQ(count, 8u);

    world.io.ReleaseHolds();
    world.io.HoldOpen(printer.path, sdk::kGenericRead | sdk::kGenericWrite,
                      sdk::kFileShareRead | sdk::kFileShareWrite);
    firmware->QueueIoctl(Reply("settings"));
    SetLastErrorCode(0xDEADBEEF);
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), 32u);  // ERROR_SHARING_VIOLATION
    EXPECT_EQ(Calls("OpenSCManagerW"), 0u);

    world.io.ReleaseHolds();
    world.io.HoldOpen(printer.path, sdk::kGenericRead, sdk::kFileShareRead);  // refuses a writer
    EXPECT_FALSE(Transact());
    EXPECT_EQ(firmware->Requests().size(), 1u);  // only the first case reached the printer
    EXPECT_EQ(GetLastErrorCode(), 32u);
    EXPECT_EQ(world.io.OpenDeviceHandles(), 0u);
}

TEST_F(OpenFallback, SpoolerAlreadyStoppedFailsAtOnceWithoutRetries) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.services.Config(u"Lpdsvc").state = win::kServiceStopped;
    world.services.Config(u"Spooler").state = win::kServiceStopped;
    world.trace.faults.FailAlways("CreateFileW", win::kErrorAccessDenied);
    const uint32_t start = Now();
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorAccessDenied);
    EXPECT_EQ(Calls("CreateFileW"), 1u);
    EXPECT_TRUE(ServiceRequests().empty());
    EXPECT_EQ(Now(), start);
    EXPECT_EQ(link.bLpdStopped, 0);
}

TEST_F(OpenFallback, LpdServiceStoppedByTheRunIsStartedAgainAfterTheSpooler) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.io.SetSpoolerHoldsDevice(true);
    ASSERT_TRUE(Transact());
    ASSERT_EQ(world.services.State(u"Lpdsvc"), win::kServiceStopped);
    world.trace.log.Clear();
    // The exit sequence: the Spooler first, then the LPD print service.
    ASSERT_TRUE(StartPrintSpooler(world.platform));
    EXPECT_TRUE(RestartLpdServiceIfStopped(world.platform, link.bLpdStopped));
    EXPECT_EQ(world.services.State(u"Lpdsvc"), win::kServiceRunning);
    EXPECT_EQ(ServiceRequests(),
              (std::vector<std::string>{"StartServiceW Spooler", "StartServiceW Lpdsvc"}));
    EXPECT_EQ(link.bLpdStopped, 0);
    EXPECT_FALSE(RestartLpdServiceIfStopped(world.platform, link.bLpdStopped));
}

TEST_F(OpenFallback, LpdServiceNotStoppedByTheRunIsLeftAlone) {
    Plug(sim::PrinterMode::VirtualSerial);
    world.services.Config(u"Lpdsvc").state = win::kServiceStopped;
    world.io.SetSpoolerHoldsDevice(true);
    ASSERT_TRUE(Transact());
    EXPECT_EQ(link.bLpdStopped, 0);
    ASSERT_TRUE(StartPrintSpooler(world.platform));
    EXPECT_FALSE(RestartLpdServiceIfStopped(world.platform, link.bLpdStopped));
    EXPECT_EQ(world.services.State(u"Lpdsvc"), win::kServiceStopped);
}

TEST_F(OpenFallback, NoPathAndNoPrinterFailsWithDeviceNotConnected) {
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorDeviceNotConnected);
    EXPECT_EQ(Calls("CreateFileW"), 0u);
    EXPECT_EQ(link.hDevice, win::kNoHandle);

    world.trace.faults.FailAlways("SetupDiDestroyDeviceInfoList", win::kErrorInvalidHandle);
    SetLastErrorCode(kLastErrorSentinel);
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorDeviceNotConnected);  // whatever the releases said
}

TEST_F(OpenFallback, NoPathRunsTheDiscoveryAndOpensTheKeptPathOfTwoPrinters) {
    auto second = std::make_shared<sim::ScriptedFirmware>();
    sim::PrinterPlug a;
    a.serial = u"A1";
    sim::PrinterPlug b;
    b.serial = u"B2";
    const auto first = world.AddPrinter(a, firmware);
    world.AddPrinter(b, second);
    firmware->QueueIoctl(Reply("first"));
    EXPECT_TRUE(Transact());
    EXPECT_EQ(count, 5u);
    ASSERT_TRUE(link.pszDevicePath);
    EXPECT_EQ(*link.pszDevicePath, first.path);
    EXPECT_TRUE(second->Requests().empty());
}

TEST_F(OpenFallback, StalePathFailsWithTheOpenErrorAndIsKept) {
    Plug();
    world.tree.SetDevicePresent(printer.deviceId, false);
    EXPECT_FALSE(Transact());
    EXPECT_EQ(GetLastErrorCode(), win::kErrorFileNotFound);
    ASSERT_TRUE(link.pszDevicePath);
    EXPECT_EQ(*link.pszDevicePath, printer.path);
}

}  // namespace
}  // namespace tav::test
