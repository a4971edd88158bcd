// The PnP refresh: the classes in order, the PCI parent filter, failures that skip one
// device or one class, and the time limit per class; and what the simulated SetupAPI and
// configuration manager under it refuse, so that a wrong argument shows here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printer/settings/pnp_refresh.h"
#include "shared/last_error.h"
#include "shared/win/errors.h"
#include "sim/printer/sim_device_setup.h"
#include "sim/printer/sim_pnp_manager.h"
#include "sim/windows_values.h"

namespace tav {
using namespace tav::setup;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PnpRefreshTest : public ::testing::Test {
  protected:
    sim::DeviceTree tree;
    sim::VirtualClock clock;
    sim::SimTrace trace;
    sim::SimDeviceSetup setup{trace, tree};
    sim::SimPnpManager pnp{tree, clock, trace};

    void Add(std::u16string id, std::u16string setupClass, std::u16string parent,
             bool present = true) {
        sim::SimDevice d;
        d.instanceId = std::move(id);
        d.setupClass = std::move(setupClass);
        d.parentId = std::move(parent);
        d.present = present;
        tree.AddDevice(d);
    }
    void AddPciParents() {
        Add(u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0", u"USB", u"ACPI\\PNP0A08\\0");
        Add(u"pci\\VEN_1B21&DEV_1242\\4&2&0", u"USB", u"ACPI\\PNP0A08\\0");
    }
    void Refresh() { RefreshPnpDevices(setup, pnp, clock); }
};

TEST_F(PnpRefreshTest, OnlyNodesUnderPciAreReenumeratedUsbFirst) {
    AddPciParents();
    Add(u"PORTS\\COM1", u"Ports", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    Add(u"USB\\ROOT_HUB30\\4&1", u"USB", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    Add(u"USB\\VID_1B7E&PID_0101\\TAV1", u"USB", u"USB\\ROOT_HUB30\\4&1");   // under a hub
    Add(u"ACPI\\PNP0501\\1", u"Ports", u"ACPI\\PNP0A08\\0");                 // under ACPI
    Add(u"USB\\ROOT_HUB20\\5&2", u"USB", u"pci\\VEN_1B21&DEV_1242\\4&2&0");  // case ignored
    Refresh();
    EXPECT_THAT(pnp.reenumerated,
                ElementsAre(u"USB\\ROOT_HUB30\\4&1", u"USB\\ROOT_HUB20\\5&2", u"PORTS\\COM1"));
    EXPECT_THAT(trace.log.EntriesStartingWith("SetupDiClassGuidsFromNameW"),
                ElementsAre("SetupDiClassGuidsFromNameW USB", "SetupDiClassGuidsFromNameW Ports"));
    EXPECT_EQ(trace.log.Count("SetupDiDestroyDeviceInfoList"), 2u);
    EXPECT_EQ(setup.OpenSets(), 0u);
}

TEST_F(PnpRefreshTest, AbsentDevicesAreNotWalked) {
    AddPciParents();
    Add(u"USB\\ROOT_HUB30\\4&1", u"USB", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0", false);
    Refresh();
    EXPECT_THAT(pnp.reenumerated, IsEmpty());
    EXPECT_EQ(trace.log.Count("CM_Get_Parent USB\\ROOT_HUB30"), 0u);  // not even listed
}

TEST_F(PnpRefreshTest, AFailingClassLookupSkipsOnlyThatClass) {
    AddPciParents();
    Add(u"USB\\ROOT_HUB30\\4&1", u"USB", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    Add(u"PORTS\\COM1", u"Ports", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    trace.faults.Fail("SetupDiClassGuidsFromNameW", 1);
    Refresh();
    EXPECT_THAT(pnp.reenumerated, ElementsAre(u"PORTS\\COM1"));

    pnp.reenumerated.clear();
    trace.faults.Fail("SetupDiGetClassDevsW", 13);
    Refresh();
    EXPECT_THAT(pnp.reenumerated, ElementsAre(u"PORTS\\COM1"));
    EXPECT_EQ(trace.log.Count("SetupDiDestroyDeviceInfoList"), 2u);  // one per set obtained
}

TEST_F(PnpRefreshTest, EachFailingStepSkipsOneDevice) {
    AddPciParents();
    for (int i = 0; i < 5; ++i)
        Add(u"USB\\HUB\\" + std::u16string(1, char16_t(u'0' + i)), u"USB",
            u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    // The set lists the two PCI nodes (ACPI parents) first, then hubs 0 to 4.
    trace.faults.Fail("CM_Get_Parent", 0x0D, 1, 2);       // hub 0: no parent
    trace.faults.Fail("CM_Get_Device_IDW", 0x0D, 1, 2);   // hub 1: no parent ID
    trace.faults.Fail("CM_Locate_DevNodeW", 0x0D, 1, 1);  // hub 3: node not located
    trace.faults.Fail("CM_Reenumerate_DevNode", 0x0D);    // hub 2: refused, walk goes on
    Refresh();
    EXPECT_THAT(
        trace.log.EntriesStartingWith("CM_Reenumerate_DevNode"),
        ElementsAre("CM_Reenumerate_DevNode USB\\HUB\\2", "CM_Reenumerate_DevNode USB\\HUB\\4"));
    EXPECT_THAT(pnp.reenumerated, ElementsAre(u"USB\\HUB\\4"));
}

TEST_F(PnpRefreshTest, TheLimitStopsAClassAndTheNextClassStartsAfresh) {
    AddPciParents();
    for (int i = 0; i < 30; ++i)
        Add(u"USB\\HUB\\" + std::u16string(1, char16_t(u'A' + i)), u"USB",
            u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    for (int i = 0; i < 5; ++i)
        Add(u"PORTS\\" + std::u16string(1, char16_t(u'A' + i)), u"Ports",
            u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    pnp.reenumerateCostMs = 1000;
    Refresh();
    // USB: re-enumerations at 0..10000 ms pass the check (not greater than 10000): 11 of
    // 30 hubs. Ports: all 5 with a fresh limit.
    size_t usb = 0, ports = 0;
    for (const auto& id : pnp.reenumerated)
        (id.rfind(u"USB\\", 0) == 0 ? usb : ports)++;
    EXPECT_EQ(usb, 11u);
    EXPECT_EQ(ports, 5u);
}

TEST_F(PnpRefreshTest, ACheckOneMsPastTheLimitStopsTheClass) {
    AddPciParents();
    for (int i = 0; i < 80; ++i)
        Add(u"USB\\HUB\\" + std::u16string{char16_t(u'A' + i / 26), char16_t(u'A' + i % 26)},
            u"USB", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    // 73 x 137 = 10001: the checks at 0 .. 9864 ms pass, the one at 10001 ms stops the class.
    pnp.reenumerateCostMs = 137;
    Refresh();
    EXPECT_EQ(pnp.reenumerated.size(), 73u);
}

TEST_F(PnpRefreshTest, TheLimitSurvivesATickCountWrap) {
    sim::VirtualClock wrapping(0xFFFFF000u);
    sim::SimPnpManager wrapped(tree, wrapping, trace);
    AddPciParents();
    for (int i = 0; i < 3; ++i)
        Add(u"USB\\HUB\\" + std::u16string(1, char16_t(u'A' + i)), u"USB",
            u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    wrapped.reenumerateCostMs = 3000;
    RefreshPnpDevices(setup, wrapped, wrapping);
    EXPECT_EQ(wrapped.reenumerated.size(), 3u);
}

TEST_F(PnpRefreshTest, ADeviceIdThatFillsTheWholeBufferIsStillWalked) {
    AddPciParents();
    const std::u16string prefix = u"USB\\HUB\\";
    const std::u16string longest = prefix + std::u16string(200 - prefix.size(), u'7');
    Add(longest, u"USB", u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0");
    Refresh();
    EXPECT_THAT(pnp.reenumerated, ElementsAre(longest));
}

// The simulated calls keep Windows' contracts: class names without case, a GUID list too
// short, handles never handed out or already released, flags outside the defined ones.
TEST_F(PnpRefreshTest, TheSimulatedCallsRefuseWhatWindowsRefuses) {
    AddPciParents();
    Guid guid{};
    uint32_t required = 7;
    EXPECT_FALSE(setup.ClassGuidsFromName(u"usb", &guid, 0, &required));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorInsufficientBuffer);
    EXPECT_EQ(required, 1u);
    EXPECT_TRUE(setup.ClassGuidsFromName(u"usb", &guid, 1, &required));
    EXPECT_EQ(guid, sim::sdk::kUsbSetupClass);
    EXPECT_TRUE(setup.ClassGuidsFromName(u"Printers", &guid, 1, &required));
    EXPECT_EQ(required, 0u);

    const Handle set = setup.GetClassDevs(sim::sdk::kUsbSetupClass, sim::sdk::kDigcfPresent);
    win::DevInfoData device;
    ASSERT_TRUE(setup.EnumDeviceInfo(set, 0, device));
    EXPECT_EQ(device.classGuid, sim::sdk::kUsbSetupClass);
    EXPECT_FALSE(setup.EnumDeviceInfo(set, 2, device));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorNoMoreItems);
    ASSERT_TRUE(setup.DestroyDeviceInfoList(set));
    EXPECT_FALSE(setup.EnumDeviceInfo(set, 0, device));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorInvalidHandle);

    uint32_t parent = 0;
    EXPECT_EQ(pnp.GetParent(&parent, device.devInst, 1), sim::sdk::kCrInvalidFlag);
    EXPECT_EQ(pnp.GetParent(&parent, device.devInst + 100, 0), sim::sdk::kCrInvalidDevnode);
    char16_t id[8] = {};
    EXPECT_EQ(pnp.GetDeviceId(device.devInst, id, 8, 0), sim::sdk::kCrBufferSmall);
    EXPECT_EQ(pnp.GetDeviceId(device.devInst, id, 8, 2), sim::sdk::kCrInvalidFlag);
    uint32_t located = 0;
    EXPECT_EQ(pnp.LocateDevNode(&located, u"PCI\\VEN_8086&DEV_A36D\\3&11583659&0&A0", 8),
              sim::sdk::kCrInvalidFlag);
    EXPECT_EQ(pnp.ReenumerateDevNode(device.devInst, 8), sim::sdk::kCrInvalidFlag);
    EXPECT_THAT(pnp.reenumerated, IsEmpty());
}

}  // namespace
}  // namespace tav
