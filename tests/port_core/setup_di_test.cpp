// The service's device information sets are one kind of object: whichever SetupDi call made
// a set, the other calls take it, it is destroyed once through the same table, and after
// that (or for a handle never made) every call refuses it as Windows does.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "portlink/core/port_link_value.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using SetState = sim::SimSetupDi::SetState;

class SetupDiTest : public PortCoreTest {
  protected:
    // Records that were good for the sets while they lived.
    struct Records {
        win::DeviceInterfaceData iface;
        win::DevInfoData device;
    };

    // Every SetupDi call that takes a set, by its Windows name.
    std::vector<std::pair<std::string, std::function<bool()>>> CallsOn(PlatformHandle set,
                                                                       Records r) {
        sim::SimSetupDi& api = world.setupDi;
        return {
            {"SetupDiEnumDeviceInterfaces",
             [=, &api]() mutable {
                 return api.EnumDeviceInterfaces(set, kGuidDevinterfaceComport, 0, &r.iface);
             }},
            {"SetupDiGetDeviceInterfaceDetailW size",
             [=, &api] { return api.GetInterfaceDetailSize(set, r.iface) != 0; }},
            {"SetupDiGetDeviceInterfaceDetailW path",
             [=, &api] {
                 std::u16string path;
                 return api.GetInterfacePath(set, r.iface, 512, &path);
             }},
            {"SetupDiGetDeviceInterfaceDetailW devinfo",
             [=, &api]() mutable { return api.GetInterfaceDevInfo(set, r.iface, &r.device); }},
            {"SetupDiOpenDevRegKey",
             [=, &api] {
                 return api.OpenDevRegKey(set, r.device, win::kDicsFlagGlobal, 0, win::kDiregDev,
                                          kPortKeyAccess) != win::kInvalidHandleValue;
             }},
            {"SetupDiCreateDeviceInfoW",
             [=, &api]() mutable {
                 return api.CreateDeviceInfo(set, u"Ports", sim::sdk::kPortsSetupClass,
                                             win::kDicdGenerateId, &r.device);
             }},
            {"SetupDiSetDeviceRegistryPropertyW",
             [=, &api]() mutable {
                 const char16_t ids[] = u"X\0";
                 return api.SetDeviceRegistryProperty(set, &r.device, win::kSpdrpHardwareId, ids,
                                                      sizeof ids);
             }},
            {"SetupDiCallClassInstaller",
             [=, &api]() mutable {
                 return api.CallClassInstaller(win::kDifRegisterDevice, set, &r.device);
             }},
            {"SetupDiDestroyDeviceInfoList", [=, &api] { return api.DestroyDeviceInfoList(set); }},
        };
    }

    void ExpectEveryCallRefuses(PlatformHandle set, const Records& records) {
        for (auto& [name, call] : CallsOn(set, records)) {
            SCOPED_TRACE(name);
            SetLastErrorCode(win::kErrorSuccess);
            EXPECT_FALSE(call());
            EXPECT_EQ(GetLastErrorCode(), win::kErrorInvalidHandle);
        }
    }
};

TEST_F(SetupDiTest, EverySetIsInOneTableAndARemovedOrUnknownHandleIsRefusedByEveryCall) {
    world.AddPort();
    sim::SimSetupDi& api = world.setupDi;
    // A snapshot of the COM port interfaces and the device behind the first one.
    const PlatformHandle snapshot =
        api.GetClassDevs(kGuidDevinterfaceComport, win::kDigcfDeviceInterface);
    Records port;
    ASSERT_TRUE(api.EnumDeviceInterfaces(snapshot, kGuidDevinterfaceComport, 0, &port.iface));
    ASSERT_FALSE(api.GetInterfaceDevInfo(snapshot, port.iface, &port.device));
    ASSERT_EQ(GetLastErrorCode(), win::kErrorInsufficientBuffer);

    // A created set with a registered element: the walk's calls take it as they take a
    // snapshot, and its device has its hardware key.
    const PlatformHandle created = api.CreateDeviceInfoList(sim::sdk::kPortsSetupClass);
    Records made{port.iface, {}};
    ASSERT_TRUE(api.CreateDeviceInfo(created, u"Ports", sim::sdk::kPortsSetupClass,
                                     win::kDicdGenerateId, &made.device));
    ASSERT_TRUE(api.CallClassInstaller(win::kDifRegisterDevice, created, &made.device));
    win::DeviceInterfaceData none;
    EXPECT_FALSE(api.EnumDeviceInterfaces(created, kGuidDevinterfaceComport, 0, &none));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorNoMoreItems);
    const PlatformHandle key = api.OpenDevRegKey(created, made.device, win::kDicsFlagGlobal, 0,
                                                 win::kDiregDev, kPortKeyAccess);
    ASSERT_NE(key, win::kInvalidHandleValue);
    EXPECT_EQ(world.registry.CloseKey(key), win::kErrorSuccess);
    EXPECT_EQ(api.DeviceIdOf(created, made.device), u"ROOT\\PORTS\\0001");
    EXPECT_NE(created, snapshot);
    EXPECT_EQ(api.OpenSetCount(), 2);
    // A device of the snapshot is registered already: registering it again changes nothing.
    const auto before = tree.Device(u"ROOT\\PORTS\\0000");
    ASSERT_TRUE(before.has_value());
    EXPECT_TRUE(api.CallClassInstaller(win::kDifRegisterDevice, snapshot, &port.device));
    EXPECT_EQ(tree.Device(u"ROOT\\PORTS\\0000")->hardwareIds, before->hardwareIds);
    EXPECT_EQ(tree.Device(u"ROOT\\PORTS\\0000")->setupClass, u"Ports");

    // Each is destroyed once, through the same table.
    EXPECT_TRUE(api.DestroyDeviceInfoList(created));
    EXPECT_EQ(api.StateOf(created), SetState::kReleased);
    EXPECT_EQ(api.StateOf(snapshot), SetState::kLive);
    EXPECT_TRUE(api.DestroyDeviceInfoList(snapshot));
    EXPECT_EQ(api.OpenSetCount(), 0);
    EXPECT_EQ(api.RefusedHandleCount(), 0);

    ExpectEveryCallRefuses(created, made);
    ExpectEveryCallRefuses(snapshot, port);
    for (PlatformHandle unknown :
         {PlatformHandle{0x1234}, win::kInvalidHandleValue, win::kNoHandle}) {
        SCOPED_TRACE(unknown);
        EXPECT_EQ(api.StateOf(unknown), SetState::kNeverMade);
        ExpectEveryCallRefuses(unknown, port);
    }
    EXPECT_FALSE(api.DeviceIdOf(created, made.device));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorInvalidHandle);
    EXPECT_EQ(api.RefusedHandleCount(), 5 * 9 + 1);
    // The refused destroys were made and recorded like the two that worked.
    EXPECT_EQ(sim.log.Count("SetupDiDestroyDeviceInfoList"), 2u + 5u);
}

// SPDRP_MAXIMUM_PROPERTY bounds the property ordinals from above and is not one itself: it is
// refused like any ordinal past it, while SPDRP_HARDWAREID below it is taken and registered.
TEST_F(SetupDiTest, APropertyOrdinalAtOrPastTheBoundIsRefused) {
    sim::SimSetupDi& api = world.setupDi;
    const PlatformHandle set = api.CreateDeviceInfoList(sim::sdk::kPortsSetupClass);
    win::DevInfoData device;
    ASSERT_TRUE(api.CreateDeviceInfo(set, u"Ports", sim::sdk::kPortsSetupClass,
                                     win::kDicdGenerateId, &device));
    const char16_t ids[] = u"X\0";
    ASSERT_TRUE(
        api.SetDeviceRegistryProperty(set, &device, win::kSpdrpHardwareId, ids, sizeof ids));
    for (uint32_t property :
         {sim::sdk::kSpdrpMaximumProperty, sim::sdk::kSpdrpMaximumProperty + 1}) {
        SCOPED_TRACE(property);
        const char16_t other[] = u"Y\0";
        SetLastErrorCode(win::kErrorSuccess);
        EXPECT_FALSE(api.SetDeviceRegistryProperty(set, &device, property, other, sizeof other));
        EXPECT_EQ(GetLastErrorCode(), sim::sdk::kErrorInvalidRegProperty);
    }
    ASSERT_TRUE(api.CallClassInstaller(win::kDifRegisterDevice, set, &device));
    const auto id = api.DeviceIdOf(set, device);
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(tree.Device(*id)->hardwareIds, std::vector<std::u16string>{u"X"});
    EXPECT_TRUE(api.DestroyDeviceInfoList(set));
}

// What a pass that creates a port does with its sets: each is destroyed once, and no call
// meets a set that is gone.
TEST_F(SetupDiTest, APassCreatingAPortDestroysEachOfItsSetsOnce) {
    world.AddPrinter(u"A1");
    Pass();
    EXPECT_EQ(world.Ports().size(), 1u);
    EXPECT_EQ(sim.log.Count("SetupDiCreateDeviceInfoList"), 1u);
    EXPECT_EQ(sim.log.Count("SetupDiDestroyDeviceInfoList"),
              sim.log.Count("SetupDiCreateDeviceInfoList") + sim.log.Count("SetupDiGetClassDevsW"));
    ExpectPassCleanedUp();
}

}  // namespace
}  // namespace tav::test
