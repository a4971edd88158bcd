// The simulated printer on its own: what it answers, what the set requests change, and how
// it leaves the device tree and comes back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "printer/settings/settings_requests.h"
#include "shared/names.h"
#include "shared/win/errors.h"
#include "sim/firmware/tav_printer_firmware.h"
#include "sim/windows_values.h"

namespace tav {
using namespace tav::setup;
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;
using ::testing::SizeIs;

class PrinterFirmwareTest : public ::testing::Test {
  protected:
    sim::DeviceTree tree;
    sim::VirtualClock clock;
    sim::TavPrinterFirmware printer{tree, clock};

    void SetUp() override { printer.Plug(); }

    template <size_t N>
    void Write(const std::array<uint8_t, N>& request) {
        printer.OnWrite(Bytes(request.begin(), request.end()));
    }
    // Everything the printer sends until it has nothing more.
    Bytes ReadAll() {
        Bytes all;
        for (;;) {
            sim::FirmwareReply r = printer.OnRead(64);
            if (r.never)
                return all;
            all.insert(all.end(), r.data.begin(), r.data.end());
        }
    }
    size_t Present(const Guid& cls) { return tree.Interfaces(cls, true).size(); }
};

TEST_F(PrinterFirmwareTest, PluggedInPrinterClass) {
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 1u);
    EXPECT_EQ(Present(sim::sdk::kComPortInterface), 0u);
    EXPECT_EQ(tree.Interfaces(sim::sdk::kUsbPrintInterface, true)[0].deviceId,
              printer.Identity().instanceId);
}

TEST_F(PrinterFirmwareTest, DeviceIdAndSettingsBlock) {
    sim::FirmwareReply id = printer.OnIoctl(0x220034, {}, 256);
    EXPECT_EQ(std::string(id.data.begin(), id.data.end() - 1),
              "MFG:TAV;MDL:HX-P300;CMD:ESC/POS;CLS:PRINTER;DES:TAV HX-P300;");

    sim::FirmwareReply block = printer.OnIoctl(0x22003C, {0x10, 0x00, 0x00}, 82);
    ASSERT_THAT(block.data, SizeIs(82));
    EXPECT_EQ(block.error, 0u);
    EXPECT_EQ(block.data[9], 0x3A);
    EXPECT_EQ(block.data[10], 0x27);
    EXPECT_NE(printer.OnIoctl(0x22003C, {0x11, 0x00, 0x00}, 82).error, 0u);
}

TEST_F(PrinterFirmwareTest, ALongerSettingsBlockDoesNotFitTheBuffer) {
    printer.settingsBlockSize = 83;
    EXPECT_EQ(printer.OnIoctl(0x22003C, {0x10, 0x00, 0x00}, 82).error, win::kErrorMoreData);
    printer.settingsBlockSize = 81;
    sim::FirmwareReply r = printer.OnIoctl(0x22003C, {0x10, 0x00, 0x00}, 82);
    EXPECT_EQ(r.error, 0u);
    EXPECT_THAT(r.data, SizeIs(81));
}

TEST_F(PrinterFirmwareTest, SwitchBlockOnlyWithTheKeyword) {
    Bytes wrong = {0x12, 0x6C, 0xFF, 'T', 'A', 'V', 'S', 'W', 'I', 'T', 'C', 'H', 'X'};
    printer.OnWrite(wrong);
    EXPECT_TRUE(printer.OnRead(128).never);

    Write(BuildSwitchBlockRequest());
    sim::FirmwareReply r = printer.OnRead(128);
    ASSERT_THAT(r.data, SizeIs(128));
    EXPECT_EQ(DecodeNibblePair(r.data[109], r.data[110]), 0x25);
}

TEST_F(PrinterFirmwareTest, TextRepliesComeInSeveralReadsBehindGarbage) {
    printer.garbageBeforeStx = {0x55, 0x02 ^ 0xFF};
    printer.textReadCount = 3;
    Write(BuildUnitSerialQuery());
    EXPECT_EQ(ReadAll(),
              (Bytes{0x55, 0xFD, 0x02, 'D', '8', 'K', '0', '0', '1', '2', '3', '4', '5', 0x00}));
    EXPECT_THAT(printer.ReadSizes(), SizeIs(4));  // three pieces, then nothing
}

TEST_F(PrinterFirmwareTest, PlannedRepliesReplaceTheText) {
    printer.PlanTextReply({{{0x41, 0x02, 0x41, 0x42}, {0x43, 0x00}}, 30});
    Write(BuildUsbSerialQuery());
    sim::FirmwareReply first = printer.OnRead(64);
    EXPECT_EQ(first.delayMs, 30u);
    EXPECT_THAT(first.data, ElementsAre(0x41, 0x02, 0x41, 0x42));
    EXPECT_THAT(printer.OnRead(64).data, ElementsAre(0x43, 0x00));
    // The plan is used once; the next query answers the text again.
    Write(BuildUsbSerialQuery());
    EXPECT_EQ(ReadAll(), (Bytes{0x02, 'D', '8', 'K', '0', '0', '1', '2', '3', '4', '5', 0x00}));
}

TEST_F(PrinterFirmwareTest, UsbSerialFollowsTheSetRequests) {
    Write(BuildUsbSerialRequest(SerialModeManual, "A1", 2));
    EXPECT_EQ(printer.UsbSerial(), "A1");
    Write(BuildUsbSerialRequest(SerialModeManual, "", 0));
    EXPECT_EQ(printer.UsbSerial(), "");
    Write(BuildUsbSerialQuery());
    EXPECT_EQ(ReadAll(), (Bytes{0x02, 0x00}));
    Write(BuildUsbSerialRequest(SerialModeAuto, nullptr, 0));
    EXPECT_EQ(printer.UsbSerial(), "D8K0012345");
}

TEST_F(PrinterFirmwareTest, ResponseChangeFlipsBit3AndResets) {
    Write(BuildPrinterResponseRequest(WithPrinterResponse(0x7A, false)));
    EXPECT_EQ(printer.ResponseSwitch(), 0x72);
    EXPECT_EQ(printer.SettingsBlockBytes()[9] & 0x0F, 0x02);
    clock.Advance(printer.leaveDelayMs);
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 0u);
    clock.Advance(printer.returnDelayMs);
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 1u);  // back in the same class
}

TEST_F(PrinterFirmwareTest, UsbClassChangeComesBackInTheOtherClassAfterTheDelay) {
    printer.returnDelayMs = 4000;
    Write(BuildUsbClassRequest(WithUsbClassForMode(0x25, 0)));
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 1u);  // still there until it resets
    clock.Advance(printer.leaveDelayMs);
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 0u);
    EXPECT_EQ(Present(sim::sdk::kComPortInterface), 0u);
    clock.Advance(3999);
    EXPECT_EQ(Present(sim::sdk::kComPortInterface), 0u);
    clock.Advance(1);
    EXPECT_EQ(Present(sim::sdk::kComPortInterface), 1u);
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 0u);
    // The printing-class interface stays registered, absent.
    EXPECT_EQ(tree.Interfaces(sim::sdk::kUsbPrintInterface, false).size(), 1u);
    EXPECT_EQ(tree.Device(printer.Identity().instanceId)->setupClass, u"Ports");

    Write(BuildUsbClassRequest(WithUsbClassForMode(0x24, 1)));
    clock.Advance(printer.leaveDelayMs + 4000);
    EXPECT_EQ(Present(sim::sdk::kUsbPrintInterface), 1u);
    EXPECT_EQ(Present(sim::sdk::kComPortInterface), 0u);
}

TEST_F(PrinterFirmwareTest, SerialModeCanAlsoPresentThePrinterInterfaceClass) {
    sim::TavPrinterIdentity identity;
    identity.serialModeAlsoPrinterClass = true;
    sim::DeviceTree otherTree;
    sim::TavPrinterFirmware serial(otherTree, clock, identity);
    serial.SetUsbClassSwitch(0x24);
    serial.Plug();
    EXPECT_EQ(otherTree.Interfaces(sim::sdk::kComPortInterface, true).size(), 1u);
    EXPECT_EQ(otherTree.Interfaces(sim::sdk::kPrinterDriverInterface, true).size(), 1u);
}

TEST_F(PrinterFirmwareTest, MalformedSetRequestsAreIgnored) {
    printer.OnWrite({0x12, 0x75, 0x03, 0x24, 0x12});  // no closing 0x40
    printer.OnWrite({0x12, 0x77, 0x85, 0x72, 0x01, 0x12, 0x40});
    EXPECT_EQ(printer.UsbClassSwitch(), 0x25);
    EXPECT_EQ(printer.ResponseSwitch(), 0x7A);
    EXPECT_EQ(printer.Resets(), 0);
    EXPECT_THAT(printer.Writes(), SizeIs(2));  // still kept
}

}  // namespace
}  // namespace tav
