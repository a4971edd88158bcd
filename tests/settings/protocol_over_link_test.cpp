// The settings protocol end to end: PrinterTransact over the simulated device I/O, answered
// by the simulated printer. Exact bytes on the wire, virtual-time budgets, and the printer
// leaving and coming back after set requests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "printer/settings/link_channel.h"
#include "printer/settings/settings_protocol.h"
#include "shared/last_error.h"
#include "shared/win/errors.h"
#include "sim/firmware/tav_printer_world.h"

namespace tav {
using namespace tav::setup;
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;

class ProtocolOverLinkTest : public ::testing::Test {
  protected:
    sim::PrinterWorld world;
    std::shared_ptr<sim::TavPrinterFirmware> printer = sim::AddTavPrinter(world);
    PrinterLink link;
    LinkChannel channel{world.platform, link};
    PrinterTextField text{};

    void Discover() { ASSERT_EQ(DiscoverPrinter(world.platform, link), 1); }
    uint64_t Now() const { return world.clock.Elapsed(); }
    // Lets the printer leave and come back after a set request.
    void WaitForReturn() {
        world.clock.Advance(printer->leaveDelayMs + printer->returnDelayMs);
        Discover();
    }
};

TEST_F(ProtocolOverLinkTest, ReadsEverySetting) {
    Discover();
    SettingsBlock settings;
    ASSERT_TRUE(ReadSettingsBlock(channel, settings));
    EXPECT_EQ(settings.ResponseSwitch(), 0x7A);
    ASSERT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "D8K0012345");
    ASSERT_TRUE(QueryUnitSerial(channel, text));
    EXPECT_STREQ(text, "D8K0012345");
    SwitchBlock switches;
    ASSERT_TRUE(ReadSwitchBlock(channel, switches));
    EXPECT_EQ(switches.UsbClassSwitch(), 0x25);

    const auto received = printer->Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].code, 0x22003Cu);
    EXPECT_THAT(received[0].bytes, ElementsAre(0x10, 0x00, 0x00));
    EXPECT_EQ(received[0].size, 82u);
    EXPECT_THAT(
        printer->Writes(),
        ElementsAre(Bytes{0x12, 0x75, 0x02},
                    Bytes{0x11, 0x40, 0x96, 0x69, 0x0F, 0xF0, 0x96, 0x69, 0x0F, 0xF0, 0x96,
                          0x69, 0x0F, 0xF0, 0x96, 0x69, 0x0F, 0xF0, 0x50, 0x00, 0x01},
                    Bytes{0x12, 0x6C, 0xFF, 'T', 'A', 'V', 'S', 'W', 'I', 'T', 'C', 'H', 'Q'}));
    EXPECT_EQ(link.hDevice, win::kNoHandle);
    EXPECT_EQ(world.io.OpenDeviceHandles(), 0u);
}

TEST_F(ProtocolOverLinkTest, TextAcrossTwoReads) {
    Discover();
    printer->PlanTextReply({{{0x41, 0x02, 0x41, 0x42}, {0x43, 0x00}}, 40});
    ASSERT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "ABC");
    // A drain that found nothing, then two reply reads; no drain after a success.
    EXPECT_THAT(printer->ReadSizes(), ElementsAre(256u, 64u, 64u));
}

TEST_F(ProtocolOverLinkTest, SilentPrinterTextQueryGivesUpAndDrainsTwice) {
    Discover();
    printer->PlanTextReply({});  // the query gets no reply at all
    const uint64_t start = Now();
    EXPECT_FALSE(QueryUnitSerial(channel, text));
    // Drain 500, write at once, reads ending at 500, 1000 and 1500 ms after the write (the
    // last one past the one-second window), drain 500.
    EXPECT_EQ(Now() - start, 2500u);
    EXPECT_THAT(printer->ReadSizes(), ElementsAre(256u, 64u, 64u, 64u, 256u));
    EXPECT_EQ(world.io.PendingOperations(), 0u);
}

TEST_F(ProtocolOverLinkTest, NoStxWithinTheWindowFails) {
    Discover();
    sim::TextReplyPlan garbage;
    garbage.delayMs = 150;
    for (int i = 0; i < 12; ++i)
        garbage.reads.push_back(Bytes(8, 0x41));
    printer->PlanTextReply(garbage);
    EXPECT_FALSE(QueryUsbSerial(channel, text));
    const auto sizes = printer->ReadSizes();
    EXPECT_EQ(sizes.front(), 256u);
    EXPECT_EQ(sizes.back(), 256u);
    EXPECT_EQ(sizes.size(), 2u + 7u);  // reads end at 150 .. 1050 ms: seven of them
}

TEST_F(ProtocolOverLinkTest, EmptyAndOverlongTexts) {
    Discover();
    printer->PlanTextReply({{{0x02, 0x00}}, 10});
    EXPECT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "");
    printer->SetUnitSerial(std::string(45, 'U'));
    EXPECT_TRUE(QueryUnitSerial(channel, text));
    EXPECT_EQ(std::string(text), std::string(31, 'U'));
}

TEST_F(ProtocolOverLinkTest, NoNulAfterStxFails) {
    Discover();
    printer->PlanTextReply({{{0x02, 'A', 'B'}}, 10});
    EXPECT_FALSE(QueryUsbSerial(channel, text));
}

TEST_F(ProtocolOverLinkTest, SettingsBlockOfWrongLengthFails) {
    Discover();
    for (size_t size : {81u, 83u}) {
        printer->settingsBlockSize = size;
        SettingsBlock block;
        EXPECT_FALSE(ReadSettingsBlock(channel, block)) << size;
    }
    printer->settingsBlockSize = 82;
    SettingsBlock block;
    EXPECT_TRUE(ReadSettingsBlock(channel, block));
}

TEST_F(ProtocolOverLinkTest, ResponseChangeFlipsBit3) {
    Discover();
    SettingsBlock before;
    ASSERT_TRUE(ReadSettingsBlock(channel, before));
    ASSERT_TRUE(SetPrinterResponse(channel, WithPrinterResponse(before.ResponseSwitch(), false)));
    EXPECT_THAT(printer->Writes().back(), ElementsAre(0x12, 0x77, 0x85, 0x72, 0x00, 0x12, 0x40));
    WaitForReturn();
    SettingsBlock after;
    ASSERT_TRUE(ReadSettingsBlock(channel, after));
    EXPECT_EQ(after.ResponseSwitch(), 0x72);
    EXPECT_FALSE(after.ResponseSwitch() & RESPONSE_RECEIVE_BIT);
}

TEST_F(ProtocolOverLinkTest, SerialNumberModes) {
    Discover();
    ASSERT_TRUE(SetUsbSerial(channel, SerialModeManual, "A1", 2));
    EXPECT_THAT(printer->Writes().back(), ElementsAre(0x12, 0x75, 0x01, 0x41, 0x31, 0, 0, 0, 0, 0,
                                                      0, 0, 0, 0x00, 0x12, 0x40));
    WaitForReturn();
    ASSERT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "A1");

    ASSERT_TRUE(SetUsbSerial(channel, SerialModeManual, "", 0));
    WaitForReturn();
    ASSERT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "");

    ASSERT_TRUE(SetUsbSerial(channel, SerialModeAuto, "A1", 2));
    EXPECT_THAT(printer->Writes().back(),
                ElementsAre(0x12, 0x75, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x12, 0x40));
    WaitForReturn();
    ASSERT_TRUE(QueryUsbSerial(channel, text));
    EXPECT_STREQ(text, "D8K0012345");
}

TEST_F(ProtocolOverLinkTest, DriverTypeChangeThereAndBack) {
    Discover();
    EXPECT_EQ(link.bSerialMode, 0);
    SwitchBlock block;
    ASSERT_TRUE(ReadSwitchBlock(channel, block));
    ASSERT_TRUE(
        SetUsbClass(channel, WithUsbClassForMode(block.UsbClassSwitch(), link.bSerialMode)));
    EXPECT_THAT(printer->Writes().back(), ElementsAre(0x12, 0x75, 0x03, 0x24, 0x12, 0x40));
    WaitForReturn();
    EXPECT_EQ(link.bSerialMode, 1);

    ASSERT_TRUE(ReadSwitchBlock(channel, block));
    EXPECT_EQ(block.UsbClassSwitch(), 0x24);
    ASSERT_TRUE(
        SetUsbClass(channel, WithUsbClassForMode(block.UsbClassSwitch(), link.bSerialMode)));
    EXPECT_THAT(printer->Writes().back(), ElementsAre(0x12, 0x75, 0x03, 0x25, 0x12, 0x40));
    WaitForReturn();
    EXPECT_EQ(link.bSerialMode, 0);
}

TEST_F(ProtocolOverLinkTest, WhileThePrinterIsAwayRequestsFail) {
    Discover();
    ASSERT_TRUE(SetUsbClass(channel, 0x24));
    world.clock.Advance(printer->leaveDelayMs);
    SettingsBlock block;
    EXPECT_FALSE(ReadSettingsBlock(channel, block));
    EXPECT_FALSE(block.transacted);
}

TEST_F(ProtocolOverLinkTest, NoPrinterAtAll) {
    printer->Unplug();
    SettingsBlock block;
    EXPECT_FALSE(ReadSettingsBlock(channel, block));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorDeviceNotConnected);
}

}  // namespace
}  // namespace tav
