// The reconcile pass against the simulated world: which printer gets which port, when a
// port is created, what is left alone, and that every pass gives back what it opened.

#include <gmock/gmock.h>

#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ReconcileTest : public PortCoreTest {
  protected:
    ReconcileTest() { EnableTracing(); }
};

TEST_F(ReconcileTest, NoPrinterEnumeratesBothClassesAndWritesNothing) {
    world.AddPort();
    Pass();
    EXPECT_EQ(sim.log.Count("SetupDiGetClassDevsW"), 2u);
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_THAT(ServiceEvents(), IsEmpty());
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, ExactLinkIsKeptEvenWithFreePorts) {
    std::u16string printer = world.AddPrinter(u"A1");
    world.AddPort(printer);
    std::u16string freePort = world.AddPort();
    Pass();
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_FALSE(world.Link(freePort).has_value());
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, LinkDifferingInLetterCaseIsNotTakenAsLinked) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string upper = printer;
    for (auto& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    }
    ASSERT_NE(upper, printer);
    std::u16string oldPort = world.AddPort(upper);
    std::u16string freePort = world.AddPort();
    Pass();
    EXPECT_EQ(world.Link(freePort), printer);
    EXPECT_EQ(world.Link(oldPort), upper);
}

TEST_F(ReconcileTest, FirstPrinterTakesFreePortSecondGetsANewOne) {
    std::u16string first = world.AddPrinter(u"A1");
    std::u16string second = world.AddPrinter(u"B2");
    std::u16string freePort = world.AddPort();
    Pass();
    auto ports = world.Ports();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(world.Link(freePort), first);
    EXPECT_EQ(world.Link(ports[1]), second);
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 22, 23));
    EXPECT_THAT(DeviceEvents(), ElementsAre(11, 12));
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, TwoPrintersWithoutFreePortCreateOnePortEach) {
    std::u16string first = world.AddPrinter(u"A1");
    std::u16string second = world.AddPrinter(u"B2");
    Pass();
    auto ports = world.Ports();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(world.Link(ports[0]), first);
    EXPECT_EQ(world.Link(ports[1]), second);
    EXPECT_EQ(sim.log.Count("SetupDiCallClassInstaller"), 2u);
    // The second installation reinstalls the driver on both ports: no third port appears.
    Pass();
    EXPECT_EQ(world.Ports().size(), 2u);
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, FreePortWithoutSubkeyGetsTheSubkeyCreated) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort();
    ASSERT_FALSE(world.registry.HasSubKey(port, u"Tavportsvc"));
    Pass();
    EXPECT_TRUE(world.registry.HasSubKey(port, u"Tavportsvc"));
    auto value = world.registry.FindValue(port, u"Tavportsvc", u"SymbolicLink");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, win::kRegSz);
    EXPECT_EQ(value->data, sim::U16Bytes(printer));  // NUL included
}

// The link goes to the port's global hardware key (not its software key, not one hardware
// profile's key), in a non-volatile subkey, so it is still there after a restart; and the
// keys are opened for exactly what the link needs.
TEST_F(ReconcileTest, LinkIsWrittenToTheGlobalHardwareKeyAndSurvivesARestart) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort();
    Pass();
    EXPECT_EQ(world.Link(port), printer);
    using sim::DeviceKeyPlace;
    EXPECT_FALSE(world.registry.HasSubKey(
        port, u"Tavportsvc", DeviceKeyPlace{sim::sdk::kDiregDrv, DeviceKeyPlace::kGlobal}));
    EXPECT_FALSE(
        world.registry.HasSubKey(port, u"Tavportsvc", DeviceKeyPlace{sim::sdk::kDiregDev, 1}));
    const std::string access = std::to_string(sim::sdk::kKeyQueryValue | sim::sdk::kKeySetValue);
    EXPECT_EQ(sim.log.EntriesStartingWith("RegCreateKeyExW"),
              std::vector<std::string>{"RegCreateKeyExW Tavportsvc options=0 access=" + access});
    const std::string portAccess = std::to_string(
        sim::sdk::kKeyQueryValue | sim::sdk::kKeySetValue | sim::sdk::kKeyCreateSubKey);
    EXPECT_EQ(sim.log.EntriesStartingWith("SetupDiOpenDevRegKey").at(0),
              "SetupDiOpenDevRegKey scope=1 profile=0 type=1 access=" + portAccess);

    world.RestartMachine();
    EXPECT_EQ(world.Link(port), printer);
    Pass();
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 1u);  // linked already: nothing written again
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, EmptyLinkCountsAsFree) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort(u"");
    Pass();
    EXPECT_EQ(world.Link(port), printer);
}

TEST_F(ReconcileTest, ExpandSzAndOverlongLinksAreLeftOut) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string expand = world.AddPort(printer, win::kRegExpandSz);
    std::u16string overlong = world.AddPort(std::u16string(260, u'x'));
    Pass();
    // Neither counts as the printer's port nor as free: a third port is made.
    auto ports = world.Ports();
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(world.Link(ports[2]), printer);
    EXPECT_EQ(world.Link(overlong), std::u16string(260, u'x'));
    auto e14 = world.recorder.Events();
    std::vector<std::vector<uint8_t>> codes;
    for (const auto& e : e14) {
        if (e.module == TraceModule::kService && e.number == 14)
            codes.push_back(e.args.at(0));
    }
    // Read again after the creation: traced in both enumerations.
    EXPECT_THAT(codes,
                ElementsAre(sim::Le32(win::kErrorUnsupportedType), sim::Le32(win::kErrorMoreData),
                            sim::Le32(win::kErrorUnsupportedType), sim::Le32(win::kErrorMoreData)));
    (void)expand;
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, LinkOf259CharactersIsReadable) {
    std::u16string longLink(259, u'y');
    std::u16string port = world.AddPort(longLink);
    world.AddPrinter(u"A1");
    Pass();
    EXPECT_EQ(world.Link(port), longLink);
    EXPECT_EQ(world.Ports().size(), 2u);
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 23));
}

TEST_F(ReconcileTest, HeldUtilityMutexSkipsThePass) {
    world.AddPrinter(u"A1");
    world.AddPort();
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    Pass();
    EXPECT_EQ(sim.log.Count("RegGetValueW"), 0u);
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_EQ(sim.log.Count("SetupDiGetClassDevsW"), 0u);
    EXPECT_THAT(ServiceEvents(), ElementsAre(20));
    EXPECT_EQ(world.sync.UtilityMutexState(), sim::UtilityMutex::kHeld);
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, FreeOrAbandonedUtilityMutexIsTakenAndReleased) {
    for (auto state : {sim::UtilityMutex::kFree, sim::UtilityMutex::kAbandoned}) {
        SCOPED_TRACE(static_cast<int>(state));
        sim.log.Clear();
        world.sync.SetUtilityMutex(state);
        world.AddPrinter(state == sim::UtilityMutex::kFree ? u"F1" : u"B1");
        world.AddPort();
        Pass();
        EXPECT_EQ(sim.log.Count("ReleaseMutex"), 1u);
        EXPECT_EQ(sim.log.Count("RegSetValueExW"), 1u);
        EXPECT_EQ(world.sync.UtilityMutexState(), sim::UtilityMutex::kFree);
        ExpectPassCleanedUp();
    }
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 22));
}

TEST_F(ReconcileTest, UtilityMutexThatCannotBeOpenedIsTracedAndPassGoesOn) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort();
    sim.faults.Fail("OpenMutexW", win::kErrorAccessDenied);
    Pass();
    EXPECT_EQ(world.Link(port), printer);
    EXPECT_EQ(EventOf(TraceModule::kService, 21).args.at(0), sim::Le32(win::kErrorAccessDenied));
    // Not found in either spelling is the normal case and stays silent.
    sim.faults.Fail("OpenMutexW", win::kErrorNotFound);
    Pass();
    EXPECT_THAT(ServiceEvents(), ElementsAre(21, 22));
}

// Ports are listed whether present or not (a port that is away keeps its printer); printers
// only when present (one that is away gets no port).
TEST_F(ReconcileTest, PortsCountEvenWhenAwayPrintersOnlyWhenPresent) {
    std::u16string printer = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort(printer);
    tree.SetDevicePresent(port, false);
    world.AddPrinter(u"B2");
    world.UnplugPrinter(u"B2");
    world.AddPort();
    Pass();
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_EQ(world.Ports().size(), 2u);
    EXPECT_EQ(world.Link(port), printer);
}

TEST_F(ReconcileTest, UnpluggedPrinterKeepsItsPortAndFindsItAgain) {
    std::u16string printer = world.AddPrinter(u"A1");
    Pass();
    auto ports = world.Ports();
    ASSERT_EQ(ports.size(), 1u);
    world.UnplugPrinter(u"A1");
    Pass();
    EXPECT_EQ(world.Link(ports[0]), printer);
    world.AddPrinter(u"B2");
    Pass();  // a different printer gets another port
    world.PlugPrinter(u"A1");
    sim.log.Clear();
    Pass();
    EXPECT_EQ(sim.log.Count("RegSetValueExW"), 0u);
    EXPECT_EQ(world.Ports().size(), 2u);
    EXPECT_EQ(world.Link(ports[0]), printer);
}

TEST_F(ReconcileTest, PortsPastTheCapAreNeverSeen) {
    for (int i = 0; i < 127; ++i)
        world.AddPort(u"\\\\?\\OTHER#" + FromUtf8(std::to_string(i)));
    std::u16string beyond = world.AddPort();  // index 127: free but never examined
    world.AddPrinter(u"A1");
    Pass();
    EXPECT_FALSE(world.Link(beyond).has_value());
    EXPECT_EQ(sim.log.Count("SetupDiCallClassInstaller"), 1u);
    // The created port is at index 128 too: still no free port, event 24.
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 23, 24));
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, OnlyRootEnumeratedPortsCountLetterCaseIgnored) {
    std::u16string printer = world.AddPrinter(u"A1");
    tree.AddInterface(sim::sdk::kComPortInterface, u"\\\\?\\ACPI#PNP0501#1#{86e0d1e0}",
                      u"ACPI\\PNP0501\\1");
    tree.AddDevice(sim::SimDevice{u"ROOT\\PORTS\\0007", u"Ports", {}, {}});
    tree.AddInterface(sim::sdk::kComPortInterface, u"\\\\?\\root#ports#0007#{86e0d1e0}",
                      u"ROOT\\PORTS\\0007");
    Pass();
    EXPECT_EQ(world.Link(u"ROOT\\PORTS\\0007"), printer);
    EXPECT_FALSE(world.registry.HasSubKey(u"ACPI\\PNP0501\\1", u"Tavportsvc"));
}

TEST_F(ReconcileTest, FailedCreationGivesEvent24AndNextPassRetries) {
    sim.faults.Fail("SetupDiCallClassInstaller", win::kErrorAccessDenied);
    std::u16string printer = world.AddPrinter(u"A1");
    Pass();
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 23, 24));
    EXPECT_THAT(DeviceEvents(), ElementsAre(19));
    EXPECT_EQ(sim.log.Count("LoadLibraryW"), 0u);
    EXPECT_TRUE(world.Ports().empty());
    Pass();
    ASSERT_EQ(world.Ports().size(), 1u);
    EXPECT_EQ(world.Link(world.Ports()[0]), printer);
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, DriverThatRegistersNoInterfaceLeavesPrinterUnlinked) {
    sim::DriverBehaviour driver;
    driver.registersInterface = false;
    world.installer.SetDriverBehaviour(driver);
    world.AddPrinter(u"A1");
    Pass();
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 23, 24));
    EXPECT_EQ(tree.Devices().size(), 2u);  // the printer and the port node without interface
}

TEST_F(ReconcileTest, MissingProgramFilesFolderIsTracedAndInstallationFails) {
    world.shell.SetProgramFilesX86(u"");
    world.AddPrinter(u"A1");
    Pass();
    EXPECT_THAT(ServiceEvents(), ElementsAre(16, 22, 23, 24));
    EXPECT_EQ(sim.log.Count("SetupDiGetINFClassW C:\\TAV\\HX Series Printer\\Tavport\\Tavport.inf"),
              1u);
}

TEST_F(ReconcileTest, InfPathThatDoesNotFitStillLinksFreePorts) {
    world.shell.SetProgramFilesX86(u"C:\\" + std::u16string(230, u'p'));
    std::u16string first = world.AddPrinter(u"A1");
    world.AddPrinter(u"B2");
    std::u16string port = world.AddPort();
    Pass();
    EXPECT_EQ(world.Link(port), first);
    EXPECT_EQ(sim.log.Count("GetFullPathNameW"), 0u);  // the empty path is refused at once
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 22, 23, 24));
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, PrinterPathTooLongForALinkIsTracedNotLinked) {
    std::u16string longPath = u"\\\\?\\USB#" + std::u16string(252, u'L');
    ASSERT_EQ(longPath.size(), 260u);
    tree.AddInterface(sim::sdk::kPrinterDriverInterface, longPath, u"USB\\LONG");
    std::u16string port = world.AddPort();
    for (int pass = 0; pass < 2; ++pass)
        Pass();
    EXPECT_FALSE(world.Link(port).has_value());
    EXPECT_EQ(sim.log.Count("SetupDiCallClassInstaller"), 0u);
    EXPECT_THAT(ServiceEvents(), ElementsAre(25, 25));
    EXPECT_EQ(EventOf(TraceModule::kService, 25).args.at(0), sim::U16Bytes(longPath));
}

TEST_F(ReconcileTest, FailedWaitOnTheLockDoesNothing) {
    world.AddPrinter(u"A1");
    sim.faults.Fail("WaitForSingleObject", win::kErrorInvalidHandle);
    Pass();
    EXPECT_EQ(sim.log.Count("OpenMutexW"), 0u);
    EXPECT_EQ(sim.log.Count("SetEvent"), 0u);  // a lock it did not take is not given back
    EXPECT_EQ(EventOf(TraceModule::kService, 19).args.at(0), sim::Le32(win::kErrorInvalidHandle));
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, FailedLinkWritesAreTracedAndLeaveThePortFree) {
    std::u16string first = world.AddPrinter(u"A1");
    std::u16string second = world.AddPrinter(u"B2");
    std::u16string port = world.AddPort();
    sim.faults.Fail("RegCreateKeyExW", win::kErrorAccessDenied);
    Pass();
    // The first write failed; the port stayed free for the second printer.
    EXPECT_EQ(world.Link(port), second);
    EXPECT_EQ(EventOf(TraceModule::kService, 10).args.at(0), sim::Le32(win::kErrorAccessDenied));
    sim.faults.Fail("RegSetValueExW", win::kErrorGenFailure);
    world.AddPort();
    Pass();
    EXPECT_EQ(EventOf(TraceModule::kService, 11).args.at(0), sim::Le32(win::kErrorGenFailure));
    (void)first;
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, UnreadablePortsAreTracedAndLeftOut) {
    std::u16string printer = world.AddPrinter(u"A1");
    world.AddPort(printer);
    sim.faults.Fail("SetupDiOpenDevRegKey", win::kErrorAccessDenied);
    Pass();
    // The linked port could not be read: the printer looks unlinked and gets a new port.
    EXPECT_EQ(world.Ports().size(), 2u);
    EXPECT_THAT(ServiceEvents(), ElementsAre(13, 22, 23));
    sim.faults.Fail("SetupDiGetDeviceInterfaceDetailW", win::kErrorGenFailure, 1, 2);
    Pass();
    EXPECT_EQ(EventOf(TraceModule::kService, 12).args.at(0), sim::Le32(win::kErrorGenFailure));
    ExpectPassCleanedUp();
}

TEST_F(ReconcileTest, EnumerationFailureIsTracedInTheDeviceModule) {
    world.AddPrinter(u"A1");
    world.AddPort();
    sim.faults.Fail("SetupDiGetClassDevsW", win::kErrorNotEnoughMemory);
    sim.faults.Fail("SetupDiEnumDeviceInterfaces", win::kErrorGenFailure);
    Pass();
    EXPECT_THAT(DeviceEvents(), ElementsAre(10, 10));
    EXPECT_EQ(world.recorder.Events().at(0).args.at(0), sim::Le32(win::kErrorNotEnoughMemory));
    EXPECT_THAT(ServiceEvents(), IsEmpty());
    ExpectPassCleanedUp();
}

}  // namespace
}  // namespace tav::test
