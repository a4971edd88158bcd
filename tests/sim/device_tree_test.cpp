// What the simulated device tree selects for SetupDiGetClassDevsW and in what order, after the
// changes that move a device or an interface between selections.
#include <gtest/gtest.h>

#include <stdexcept>

#include "shared/u16.h"
#include "sim/device_tree.h"
#include "sim/windows_values.h"

namespace tav {
namespace {

namespace sdk = sim::sdk;
constexpr uint32_t kDi = sdk::kDigcfDeviceInterface;
constexpr uint32_t kPresent = sdk::kDigcfPresent;

template <typename T, typename Name>
std::string Join(const std::vector<T>& items, Name name) {
    std::string out;
    for (const T& item : items)
        out += (out.empty() ? "" : " ") + ToUtf8(name(item));
    return out;
}
std::string Ids(const std::vector<sim::SimDevice>& devices) {
    return Join(devices, [](const sim::SimDevice& d) { return d.instanceId; });
}
std::string Paths(const std::vector<sim::SimInterface>& interfaces) {
    return Join(interfaces, [](const sim::SimInterface& i) { return i.path; });
}

// Devices A, P (a port) and B; interfaces registered out of device order, one of them ("pX")
// for a device the tree does not have.
class DeviceTreeTest : public ::testing::Test {
  protected:
    sim::DeviceTree tree;

    void SetUp() override {
        Add(u"A", u"USB");
        Add(u"P", u"Ports");
        Add(u"B", u"USB");
        tree.AddInterface(sdk::kUsbPrintInterface, u"pB", u"B");
        tree.AddInterface(sdk::kComPortInterface, u"cP", u"P");
        tree.AddInterface(sdk::kUsbPrintInterface, u"pA", u"A");
        tree.AddInterface(sdk::kPrinterDriverInterface, u"dA", u"A");
        tree.AddInterface(sdk::kUsbPrintInterface, u"pX", u"X");
    }
    void Add(const std::u16string& id, const std::u16string& setupClass) {
        sim::SimDevice d;
        d.instanceId = id;
        d.setupClass = setupClass;
        tree.AddDevice(d);
    }
    std::string Devices(const Guid& g, uint32_t flags) {
        return Ids(tree.ClassDevsDevices(g, flags));
    }
    std::string Interfaces(const Guid& g, uint32_t flags) {
        return Paths(tree.ClassDevsInterfaces(g, flags));
    }
};

TEST_F(DeviceTreeTest, InterfaceSetsFollowRegistrationAndDeviceOrder) {
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi), "pB pA pX");
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi), "A B");  // devices in their own order
    EXPECT_EQ(Devices(sdk::kPrinterDriverInterface, kDi), "A");

    Add(u"X", u"USB");  // the owner arrives after its interface
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi), "A B X");

    tree.AddInterface(sdk::kUsbPrintInterface, u"pB", u"A");  // same path, another device
    EXPECT_EQ(Paths(tree.Interfaces(sdk::kUsbPrintInterface, false)), "pB pA pX");
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi), "A X");

    tree.RemoveDevice(u"A");
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi), "pX");
    EXPECT_EQ(Devices(sdk::kPrinterDriverInterface, kDi), "");
    Add(u"A", u"USB");
    tree.AddInterface(sdk::kUsbPrintInterface, u"pA", u"A");
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi), "pX pA");
    EXPECT_EQ(Ids(tree.Devices()), "P B X A");
}

TEST_F(DeviceTreeTest, PresenceFiltersDevicesAndInterfaces) {
    tree.SetDevicePresent(u"A", false);
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi | kPresent), "pB pX");
    EXPECT_EQ(Paths(tree.Interfaces(sdk::kUsbPrintInterface, true)), "pB pX");
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi), "pB pA pX");  // still registered
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi | kPresent), "B");

    // An interface made present again does not bring its absent device with it, and a device
    // belongs to an interface class through an absent interface too.
    tree.AddInterface(sdk::kUsbPrintInterface, u"pA", u"A");
    tree.AddInterface(sdk::kComPortInterface, u"cP", u"P", false);
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi | kPresent), "pB pA pX");
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi | kPresent), "B");
    EXPECT_EQ(Devices(sdk::kComPortInterface, kDi | kPresent), "P");

    tree.SetDevicePresent(u"A", true);
    EXPECT_EQ(Interfaces(sdk::kPrinterDriverInterface, kDi | kPresent), "dA");
}

TEST_F(DeviceTreeTest, SetupClassSetsFollowTheDevicesClass) {
    EXPECT_EQ(Devices(sdk::kUsbSetupClass, 0), "A B");
    EXPECT_EQ(Interfaces(sdk::kUsbSetupClass, 0), "pB pA dA");  // every class, no orphan
    EXPECT_EQ(Interfaces(sdk::kPortsSetupClass, 0), "cP");

    tree.UpdateDevice(u"B", [](sim::SimDevice& d) { d.setupClass = u"Ports"; });
    EXPECT_EQ(Devices(sdk::kUsbSetupClass, 0), "A");
    EXPECT_EQ(Devices(sdk::kPortsSetupClass, 0), "P B");
    EXPECT_EQ(Interfaces(sdk::kPortsSetupClass, 0), "pB cP");

    Add(u"A", u"Ports");  // replaced in place
    EXPECT_EQ(Devices(sdk::kPortsSetupClass, 0), "A P B");
    EXPECT_EQ(Devices(sdk::kUsbSetupClass, 0), "");
    Add(u"A", u"ports");  // class names match exactly
    EXPECT_EQ(Devices(sdk::kPortsSetupClass, 0), "P B");

    // Moved in, not assigned from the literal, which GCC 12 at -O3 takes for an overlapping copy.
    auto rename = [](sim::SimDevice& d) { d.instanceId = std::u16string(u"C"); };
    EXPECT_THROW(tree.UpdateDevice(u"B", rename), std::invalid_argument);
    EXPECT_EQ(Devices(sdk::kPortsSetupClass, 0), "P B");
}

TEST_F(DeviceTreeTest, ProfileAllClassesAndRefusedFlags) {
    tree.UpdateDevice(u"A", [](sim::SimDevice& d) { d.inCurrentProfile = false; });
    EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, kDi | sdk::kDigcfProfile), "pB pX");
    EXPECT_EQ(Devices(sdk::kUsbPrintInterface, kDi | sdk::kDigcfProfile), "B");
    EXPECT_EQ(Devices(Guid{}, sdk::kDigcfAllClasses | sdk::kDigcfProfile), "P B");
    EXPECT_EQ(Interfaces(Guid{}, sdk::kDigcfAllClasses), "pB cP pA dA pX");

    for (uint32_t refused : {kDi | sdk::kDigcfDefault, kDi | 0x100u}) {
        EXPECT_NE(sim::DeviceTree::ClassDevsFlagsError(refused), 0u);
        EXPECT_EQ(Devices(sdk::kUsbPrintInterface, refused), "");
        EXPECT_EQ(Interfaces(sdk::kUsbPrintInterface, refused), "");
    }
}

}  // namespace
}  // namespace tav
