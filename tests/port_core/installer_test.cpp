// The virtual port installer: result codes, the trace events of the device module, the
// hardware ID property and the late binding of newdev.dll.

#include <gmock/gmock.h>

#include "portlink/core/port_installer.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/ports/sim_device_installer.h"
#include "sim/windows_values.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class InstallerTest : public PortCoreTest {
  protected:
    InstallerTest() { EnableTracing(); }
    uint32_t Create(const char16_t* path) {
        return CreatePortDevice(world.setupDi, world.installer, core->Trace(), path);
    }
    uint32_t Install(const char16_t* path) {
        return InstallPortDriver(world.installer, core->Trace(), path);
    }
};

TEST_F(InstallerTest, AbsentOrEmptyPathIsRefusedWithoutTouchingTheSystem) {
    sim.log.Clear();
    EXPECT_EQ(Create(nullptr), kPortInstallBadPath);
    EXPECT_EQ(Create(u""), kPortInstallBadPath);
    EXPECT_EQ(Install(nullptr), kPortInstallBadPath);
    EXPECT_EQ(Install(u""), kPortInstallBadPath);
    EXPECT_THAT(sim.log.Entries(), IsEmpty());
}

TEST_F(InstallerTest, CreatesARegisteredPortsNodeWithTheHardwareId) {
    EXPECT_EQ(Create(sim::kSimInfPath), kPortInstallDone);
    auto device = tree.Device(u"ROOT\\PORTS\\0000");
    ASSERT_TRUE(device.has_value());
    EXPECT_THAT(device->hardwareIds, ElementsAre(sim::kSimPortHardwareId));
    // 23 units, the NUL and the closing NUL of the multi-string.
    std::vector<uint8_t> expected = sim::U16Bytes(sim::kSimPortHardwareId);
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(world.setupDi.LastHardwareIdProperty(), expected);
    EXPECT_EQ(expected.size(), 50u);
    EXPECT_EQ(sim.log.Count("SetupDiCreateDeviceInfoW Ports flags=1"), 1u);
    EXPECT_EQ(world.setupDi.OpenSetCount(), 0);
}

TEST_F(InstallerTest, OverlongAbsolutePathIsRefused) {
    std::u16string longPath = u"C:\\" + std::u16string(257, u'a');  // 260 units
    EXPECT_EQ(Create(longPath.c_str()), kPortInstallFailed);
    EXPECT_EQ(EventOf(TraceModule::kDevice, 13).args.at(0), sim::U16Bytes(longPath));
    world.recorder.ClearEvents();
    EXPECT_EQ(Install(longPath.c_str()), kPortInstallFailed);
    EXPECT_THAT(DeviceEvents(), IsEmpty());
    // 259 units still fit.
    std::u16string fits = u"C:\\" + std::u16string(256, u'a');
    world.infFiles.Add(fits);
    EXPECT_EQ(Create(fits.c_str()), kPortInstallDone);
}

TEST_F(InstallerTest, RelativePathIsMadeAbsolute) {
    world.infFiles.Add(u"C:\\Windows\\system32\\Tavport.inf");
    EXPECT_EQ(Create(u"Tavport.inf"), kPortInstallDone);
    EXPECT_EQ(Install(u"Tavport.inf"), kPortInstallDone);
    EXPECT_EQ(EventOf(TraceModule::kDevice, 11).args.at(1),
              sim::U16Bytes(u"C:\\Windows\\system32\\Tavport.inf"));
}

TEST_F(InstallerTest, MissingInfFailsAtTheClassLookupAndBeforeLoadingNewdev) {
    const char16_t* missing = u"C:\\nowhere\\Tavport.inf";
    EXPECT_EQ(Create(missing), kPortInstallFailed);
    EXPECT_EQ(EventOf(TraceModule::kDevice, 15).args.at(0), sim::Le32(win::kErrorFileNotFound));
    EXPECT_EQ(Install(missing), kPortInstallFailed);
    EXPECT_EQ(sim.log.Count("LoadLibraryW"), 0u);
}

TEST_F(InstallerTest, EachFailedCreationStepHasItsEvent) {
    const struct {
        const char* call;
        uint16_t event;
    } steps[] = {{"SetupDiCreateDeviceInfoList", 16},
                 {"SetupDiCreateDeviceInfoW", 17},
                 {"SetupDiSetDeviceRegistryPropertyW", 18},
                 {"SetupDiCallClassInstaller", 19}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call);
        world.recorder.ClearEvents();
        sim.faults.Fail(step.call, win::kErrorAccessDenied);
        EXPECT_EQ(Create(sim::kSimInfPath), kPortInstallFailed);
        EXPECT_THAT(DeviceEvents(), ElementsAre(step.event));
        EXPECT_EQ(EventOf(TraceModule::kDevice, step.event).args.at(0),
                  sim::Le32(win::kErrorAccessDenied));
        EXPECT_EQ(world.setupDi.OpenSetCount(), 0);
    }
    EXPECT_TRUE(tree.Devices().empty());
    EXPECT_EQ(sim.log.Count("SetupDiDestroyDeviceInfoList"), 3u);
}

TEST_F(InstallerTest, DriverInstallTracesAndUnloadsNewdev) {
    ASSERT_EQ(Create(sim::kSimInfPath), kPortInstallDone);
    EXPECT_EQ(Install(sim::kSimInfPath), kPortInstallDone);
    EXPECT_THAT(DeviceEvents(), ElementsAre(11, 12));
    auto e11 = EventOf(TraceModule::kDevice, 11);
    ASSERT_EQ(e11.args.size(), 2u);
    EXPECT_EQ(e11.args[0].size(), 48u);
    EXPECT_EQ(e11.args[0], sim::U16Bytes(sim::kSimPortHardwareId));
    EXPECT_EQ(e11.args[1], sim::U16Bytes(sim::kSimInfPath));
    EXPECT_EQ(e11.level, win::kTraceLevelInformation);
    EXPECT_EQ(sim.log.Count("UpdateDriverForPlugAndPlayDevicesW ROOT\\PORTS\\Tavport\\0000 "
                            "C:\\Program Files (x86)\\TAV\\HX Series Printer\\Tavport\\"
                            "Tavport.inf flags=5"),
              1u);
    EXPECT_EQ(world.installer.LoadedModuleCount(), 0);
    EXPECT_EQ(tree.Interfaces(sim::sdk::kComPortInterface, true).size(), 1u);
}

TEST_F(InstallerTest, RestartRequestGivesResultOne) {
    sim::DriverBehaviour driver;
    driver.rebootRequired = true;
    world.installer.SetDriverBehaviour(driver);
    ASSERT_EQ(Create(sim::kSimInfPath), kPortInstallDone);
    EXPECT_EQ(Install(sim::kSimInfPath), kPortInstallDoneRestart);
}

TEST_F(InstallerTest, NewdevProblemsFailAndUnload) {
    sim::DriverBehaviour noExport;
    noExport.exportPresent = false;
    world.installer.SetDriverBehaviour(noExport);
    EXPECT_EQ(Install(sim::kSimInfPath), kPortInstallFailed);
    EXPECT_EQ(sim.log.Count("FreeLibrary"), 1u);
    EXPECT_EQ(world.installer.LoadedModuleCount(), 0);

    sim::DriverBehaviour noDll;
    noDll.newdevPresent = false;
    world.installer.SetDriverBehaviour(noDll);
    EXPECT_EQ(Install(sim::kSimInfPath), kPortInstallFailed);

    sim::DriverBehaviour failing;
    failing.updateSucceeds = false;
    world.installer.SetDriverBehaviour(failing);
    EXPECT_EQ(Install(sim::kSimInfPath), kPortInstallFailed);
    EXPECT_EQ(world.installer.LoadedModuleCount(), 0);
    EXPECT_THAT(DeviceEvents(), ElementsAre(11));  // started, never done
}

}  // namespace
}  // namespace tav::test
