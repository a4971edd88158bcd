// Discovery: which classes are searched in which order, what is counted, which path is kept,
// the restart of registered serial-mode devices, and enumeration errors.

#include "printer/link/device_setup.h"
#include "printer/link/interface_detail.h"
#include "printer/link/owned_handles.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "sim/windows_values.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class Discovery : public PrinterFixture {
  protected:
    sim::SimPrinter Add(const std::u16string& serial, sim::PrinterMode mode, bool present = true,
                        const std::u16string& productId = u"0101",
                        const std::u16string& vendorId = u"1B7E") {
        sim::PrinterPlug plug;
        plug.serial = serial;
        plug.mode = mode;
        plug.present = present;
        plug.productId = productId;
        plug.vendorId = vendorId;
        return world.AddPrinter(plug, firmware);
    }
    int Discover() { return DiscoverPrinter(world.platform, link); }
    std::vector<std::string> ClassQueries() const {
        return world.trace.log.EntriesStartingWith("SetupDiGetClassDevsW");
    }
    static std::string Query(const Guid& g, const char* flags) {
        return "SetupDiGetClassDevsW " + ToUtf8(GuidToString(g)) + " " + flags;
    }
};

TEST_F(Discovery, NothingAttachedAndNothingRegisteredGivesZero) {
    link.pszDevicePath = u"\\\\?\\USB#Vid_1B7E&pid_0101#old";
    EXPECT_EQ(Discover(), 0);
    EXPECT_FALSE(link.pszDevicePath);
    EXPECT_EQ(link.bSerialMode, 1);
    EXPECT_EQ(ClassQueries(),
              (std::vector<std::string>{Query(sim::sdk::kUsbPrintInterface, "0x12"),
                                        Query(sim::sdk::kComPortInterface, "0x12"),
                                        Query(sim::sdk::kPrinterDriverInterface, "0x12"),
                                        Query(sim::sdk::kComPortInterface, "0x10"),
                                        Query(sim::sdk::kPrinterDriverInterface, "0x10")}));
    EXPECT_EQ(world.setup.OpenSets(), 0u);
}

TEST_F(Discovery, TheDetailRecordCarriesThisProgramsSizeAsSetupApiWants) {
    Add(u"S1", sim::PrinterMode::PrinterDriver);
    UniqueDeviceInfoSet set(world.setup, world.setup.GetClassDevs(sim::sdk::kUsbPrintInterface,
                                                                  win::kDigcfDeviceInterface));
    win::DeviceInterfaceData data;
    ASSERT_TRUE(world.setup.EnumDeviceInterfaces(set.get(), sim::sdk::kUsbPrintInterface, 0, data));
    std::u16string path;
    ASSERT_TRUE(ReadInterfaceDetail(world.setup, set.get(), data, &path, nullptr));
    // A 32-bit program's size field (6) in this 64-bit one is refused, whatever the buffer.
    uint8_t record[512] = {6};
    EXPECT_EQ(world.setup.GetDeviceInterfaceDetail(set.get(), data, record, sizeof record, nullptr,
                                                   nullptr),
              0);
    EXPECT_EQ(GetLastErrorCode(), 1784u);  // ERROR_INVALID_USER_BUFFER
}

TEST_F(Discovery, PrinterDriverModePrinterIsFoundThroughThePrintingClass) {
    const auto p = Add(u"S1", sim::PrinterMode::PrinterDriver);
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(link.bSerialMode, 0);
    ASSERT_TRUE(link.pszDevicePath);
    EXPECT_EQ(*link.pszDevicePath, p.path);
}

TEST_F(Discovery, SerialModePrinterCountsOnceThroughTheComPortClass) {
    const auto p = Add(u"S1", sim::PrinterMode::VirtualSerial);
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(link.bSerialMode, 1);
    EXPECT_EQ(*link.pszDevicePath, p.path);
    EXPECT_EQ(ClassQueries().size(), 2u);  // the printer interface class is not consulted
}

TEST_F(Discovery, PrinterInterfaceClassIsConsultedWhenNoComPortShowsOne) {
    const std::u16string deviceId = u"USB\\VID_1B7E&PID_0101\\S9";
    world.tree.AddDevice(sim::SimDevice{deviceId, u"Ports", u"", {}, true, true});
    sim::PrinterPlug plug;
    plug.serial = u"S9";
    const auto path = sim::PrinterWorld::InterfacePath(plug, sim::sdk::kPrinterDriverInterface);
    world.tree.AddInterface(sim::sdk::kPrinterDriverInterface, path, deviceId);
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(link.bSerialMode, 1);
    EXPECT_EQ(*link.pszDevicePath, path);
}

TEST_F(Discovery, TwoPrintersCountTwoAndKeepTheFirstPath) {
    const auto first = Add(u"A", sim::PrinterMode::PrinterDriver);
    Add(u"B", sim::PrinterMode::PrinterDriver);
    EXPECT_EQ(Discover(), 2);
    EXPECT_EQ(*link.pszDevicePath, first.path);
}

TEST_F(Discovery, PrintersInBothModesAddUpAndTheLaterClassPathIsKept) {
    Add(u"A", sim::PrinterMode::PrinterDriver);
    const auto serial = Add(u"B", sim::PrinterMode::VirtualSerial);
    EXPECT_EQ(Discover(), 2);
    EXPECT_EQ(link.bSerialMode, 0);
    EXPECT_EQ(*link.pszDevicePath, serial.path);
}

TEST_F(Discovery, OtherVendorsProductsAndShortPathsAreIgnored) {
    Add(u"X", sim::PrinterMode::PrinterDriver, true, u"0101", u"04B8");
    Add(u"Y", sim::PrinterMode::PrinterDriver, true, u"0201");
    world.tree.AddDevice(sim::SimDevice{u"SHORT", u"USB", u"", {}, true, true});
    world.tree.AddInterface(sim::sdk::kUsbPrintInterface, u"\\\\?\\USB#Vid_1B7E&pid_0", u"SHORT");
    EXPECT_EQ(Discover(), 0);
    EXPECT_FALSE(link.pszDevicePath);
}

TEST_F(Discovery, PrefixIsComparedWithoutLetterCase) {
    world.tree.AddDevice(sim::SimDevice{u"LOWER", u"USB", u"", {}, true, true});
    world.tree.AddInterface(sim::sdk::kUsbPrintInterface, u"\\\\?\\usb#vid_1b7e&pid_01ff#z#{x}",
                            u"LOWER");
    EXPECT_EQ(Discover(), 1);
}

TEST_F(Discovery, AtMost127InterfacesPerClassAreExamined) {
    for (int i = 0; i < 130; ++i)
        Add(u"N" + FromUtf8(std::to_string(i)), sim::PrinterMode::PrinterDriver);
    EXPECT_EQ(EnumPrinterInterfaces(world.platform, sim::sdk::kUsbPrintInterface, link, 0), 127);
    EXPECT_EQ(Calls("SetupDiEnumDeviceInterfaces"), 127u);
}

TEST_F(Discovery, FailingPrintingClassEnumerationGivesMinusOneAndClearsThePath) {
    Add(u"A", sim::PrinterMode::VirtualSerial);
    link.pszDevicePath = u"old";
    world.trace.faults.Fail("SetupDiGetClassDevsW", win::kErrorAccessDenied);
    EXPECT_EQ(Discover(), -1);
    EXPECT_FALSE(link.pszDevicePath);
    EXPECT_EQ(GetLastErrorCode(), win::kErrorAccessDenied);
    EXPECT_EQ(ClassQueries().size(), 1u);
}

TEST_F(Discovery, FailingSerialClassEnumerationKeepsThePrintingCountButClearsThePath) {
    Add(u"A", sim::PrinterMode::PrinterDriver);
    world.trace.faults.Fail("SetupDiGetClassDevsW", win::kErrorAccessDenied, 1, 1);
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(link.bSerialMode, 0);
    EXPECT_FALSE(link.pszDevicePath);
}

TEST_F(Discovery, DetailAndEnumerationFailuresAreEnumerationErrors) {
    Add(u"A", sim::PrinterMode::PrinterDriver);
    for (const char* call : {"SetupDiEnumDeviceInterfaces", "SetupDiGetDeviceInterfaceDetailW"}) {
        world.trace.faults.Clear();
        world.trace.faults.Fail(call, win::kErrorGenFailure, 1, 1);  // the second call of its kind
        EXPECT_EQ(EnumPrinterInterfaces(world.platform, sim::sdk::kUsbPrintInterface, link, 0), -1)
            << call;
        EXPECT_FALSE(link.pszDevicePath) << call;
        EXPECT_EQ(GetLastErrorCode(), win::kErrorGenFailure) << call;
        EXPECT_EQ(world.setup.OpenSets(), 0u) << call;
    }
}

TEST_F(Discovery, EnumerationErrorSurvivesAFailingSetRelease) {
    Add(u"A", sim::PrinterMode::PrinterDriver);
    world.trace.faults.Fail("SetupDiEnumDeviceInterfaces", win::kErrorGenFailure);
    world.trace.faults.Fail("SetupDiDestroyDeviceInfoList", win::kErrorInvalidHandle);
    EXPECT_EQ(EnumPrinterInterfaces(world.platform, sim::sdk::kUsbPrintInterface, link, 0), -1);
    EXPECT_EQ(GetLastErrorCode(), win::kErrorGenFailure);
    EXPECT_EQ(Calls("SetupDiDestroyDeviceInfoList"), 1u);
}

TEST_F(Discovery, RestartFlagHasNoEffectOnThePrintingClass) {
    const auto p = Add(u"A", sim::PrinterMode::PrinterDriver);
    EXPECT_EQ(EnumPrinterInterfaces(world.platform, sim::sdk::kUsbPrintInterface, link, 1), 1);
    EXPECT_EQ(*link.pszDevicePath, p.path);
    EXPECT_EQ(Calls("SetupDiCallClassInstaller"), 0u);
}

class DiscoveryRestart : public Discovery {
  protected:
    // A serial-mode printer the system still has registered, its interfaces not present.
    sim::SimPrinter Stuck(const std::u16string& serial) {
        const auto p = Add(serial, sim::PrinterMode::VirtualSerial, false);
        world.tree.UpdateDevice(p.deviceId, [](sim::SimDevice& d) { d.present = true; });
        return p;
    }
};

TEST_F(DiscoveryRestart, RegisteredSerialDeviceIsRestartedAndThenFound) {
    const auto p = Stuck(u"R1");
    const uint32_t start = Now();
    EXPECT_EQ(Discover(), 1);
    ASSERT_TRUE(link.pszDevicePath);
    EXPECT_EQ(*link.pszDevicePath, p.path);
    EXPECT_EQ(link.bSerialMode, 1);
    const std::string id = ToUtf8(p.deviceId);
    EXPECT_EQ(world.trace.log.EntriesStartingWith("SetupDiCallClassInstaller"),
              (std::vector<std::string>{"SetupDiCallClassInstaller disable config " + id,
                                        "SetupDiCallClassInstaller enable global " + id,
                                        "SetupDiCallClassInstaller enable config " + id}));
    EXPECT_EQ(Now() - start, 500u);
    EXPECT_EQ(ClassQueries().back(), Query(sim::sdk::kComPortInterface, "0x12"));
}

TEST_F(DiscoveryRestart, FailingGlobalEnableStopsTheTriesAndTheRestartStillCounts) {
    const auto p = Stuck(u"R2");
    world.setup.FailEnables(p.deviceId, 100);
    // Every global enable fails: each try stops at once, no pause.
    EXPECT_EQ(EnumPrinterInterfaces(world.platform, sim::sdk::kComPortInterface, link, 1), 1);
    EXPECT_EQ(Calls("SetupDiCallClassInstaller enable"), 1u);
    EXPECT_FALSE(link.pszDevicePath);  // restart mode keeps no path
}

TEST_F(DiscoveryRestart, FailingConfigSpecificEnableIsRetriedAfterAPause) {
    Stuck(u"R3");
    // Installer calls: disable, global, config (fails), global, config (fails), global, config.
    world.trace.faults.Fail("SetupDiCallClassInstaller", win::kErrorGenFailure, 1, 2);
    world.trace.faults.Fail("SetupDiCallClassInstaller", win::kErrorGenFailure, 1, 3);
    const uint32_t start = Now();
    EXPECT_EQ(Discover(), 1);
    EXPECT_EQ(Calls("SetupDiCallClassInstaller enable config"), 3u);
    EXPECT_EQ(Now() - start, 1500u);
}

TEST_F(DiscoveryRestart, RefusedDisableParametersStillCallTheInstaller) {
    const auto p = Stuck(u"R6");
    world.trace.faults.Fail("SetupDiSetClassInstallParamsW", win::kErrorGenFailure, 1, 0);
    EXPECT_EQ(Discover(), 1);
    const std::string id = ToUtf8(p.deviceId);
    EXPECT_EQ(world.trace.log.EntriesStartingWith("SetupDiCallClassInstaller"),
              (std::vector<std::string>{"SetupDiCallClassInstaller no-params " + id,
                                        "SetupDiCallClassInstaller enable global " + id,
                                        "SetupDiCallClassInstaller enable config " + id}));
}

TEST_F(DiscoveryRestart, RestartThatNeverSucceedsLeavesNothingFound) {
    Stuck(u"R4");
    world.trace.faults.FailAlways("SetupDiSetClassInstallParamsW", win::kErrorGenFailure);
    EXPECT_EQ(Discover(), 0);
    EXPECT_FALSE(link.pszDevicePath);
    EXPECT_EQ(ClassQueries().size(), 6u);  // restart counted: the normal walk runs again
}

TEST_F(DiscoveryRestart, RestartFailsWhenTheOwningDeviceCannotBeRead) {
    Stuck(u"R5");
    UniqueDeviceInfoSet set(world.setup, world.setup.GetClassDevs(sim::sdk::kComPortInterface,
                                                                  win::kDigcfDeviceInterface));
    win::DeviceInterfaceData data;
    ASSERT_TRUE(world.setup.EnumDeviceInterfaces(set.get(), sim::sdk::kComPortInterface, 0, data));
    world.trace.faults.Fail("SetupDiGetDeviceInterfaceDetailW", win::kErrorGenFailure, 1, 1);
    EXPECT_EQ(RestartDevice(world.platform, set.get(), data), 0);
    EXPECT_EQ(Calls("SetupDiCallClassInstaller"), 0u);
}

}  // namespace
}  // namespace tav::test
