// The port link decisions that the reconcile pass and tavports share.

#include <gtest/gtest.h>

#include "portlink/core/port_link_rules.h"
#include "sim/registry/sim_registry.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

TEST(PortLinkRulesTest, PrinterSerialIsTheInstancePartOfThePath) {
    EXPECT_EQ(PrinterSerialFromPath(u"\\\\?\\USB#VID_1B7E&PID_0101#D8K0012345#{a4c7e912}"),
              u"D8K0012345");
    EXPECT_EQ(PrinterSerialFromPath(u"\\\\?\\root#tavprinter#0000#{a4c7e912}"), u"0000");
    EXPECT_EQ(PrinterSerialFromPath(u"\\\\?\\USB#VID_1B7E&PID_0101#D8K0012345"), u"");
    EXPECT_EQ(PrinterSerialFromPath(u"no hashes"), u"");
    EXPECT_EQ(PrinterSerialFromPath(u""), u"");
}

TEST(PortLinkRulesTest, FreeLinkedAndPresentFollowThePassRules) {
    DeviceEntryList ports;
    ASSERT_TRUE(ports.AppendDeviceEntry(u"\\\\?\\USB#A", {}));
    ASSERT_TRUE(ports.AppendDeviceEntry(u"", {}));
    ASSERT_TRUE(ports.AppendDeviceEntry(u"", {}));
    EXPECT_EQ(FirstFreePort(ports), &ports.Entries()[1]);
    EXPECT_EQ(PortLinkedTo(ports, u"\\\\?\\USB#A"), &ports.Entries()[0]);
    EXPECT_EQ(PortLinkedTo(ports, u"\\\\?\\usb#a"), nullptr);  // letter case counts
    EXPECT_EQ(PortLinkedTo(ports, u"\\\\?\\USB#AB"), nullptr);
    EXPECT_FALSE(IsFreeLink(nullptr));
    EXPECT_TRUE(IsFreeLink(u""));
    EXPECT_TRUE(IsPrinterPresent(ports, u"\\\\?\\USB#A"));
    EXPECT_FALSE(IsPrinterPresent(ports, u"\\\\?\\USB#"));
    std::u16string longest(259, u'x');
    EXPECT_TRUE(IsLinkablePrinterPath(longest.c_str()));
    longest += u'x';
    EXPECT_FALSE(IsLinkablePrinterPath(longest.c_str()));
}

}  // namespace
}  // namespace tav::test
