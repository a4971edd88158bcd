// The request bytes and switch byte decoding of the settings protocol.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "printer/settings/settings_protocol.h"
#include "tests/settings/scripted_channel.h"

namespace tav {
using namespace tav::setup;
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& a) {
    return Bytes(a.begin(), a.end());
}

TEST(NibblePairs, DecodeLowNibblesOnly) {
    EXPECT_EQ(DecodeNibblePair(0x3A, 0x27), 0x7A);
    EXPECT_EQ(DecodeNibblePair(0xF4, 0xE2), 0x24);
    EXPECT_EQ(DecodeNibblePair(0x0F, 0x0F), 0xFF);
}

TEST(SettingsBlock, ResponseSwitchFromBytes9And10) {
    SettingsBlock block;
    block.bytes[9] = 0x3A;
    block.bytes[10] = 0x27;
    block.bytes[8] = 0xFF;  // neighbours are not interpreted
    block.bytes[11] = 0xFF;
    EXPECT_EQ(block.ResponseSwitch(), 0x7A);
    EXPECT_TRUE(block.ResponseSwitch() & RESPONSE_RECEIVE_BIT);
}

TEST(SwitchBlock, UsbClassSwitchFromBytes109And110) {
    SwitchBlock block;
    block.bytes[109] = 0x54;
    block.bytes[110] = 0x62;
    EXPECT_EQ(block.UsbClassSwitch(), 0x24);
}

TEST(Requests, FixedRequests) {
    EXPECT_THAT(ToBytes(BuildSettingsRequest()), ElementsAre(0x10, 0x00, 0x00));
    EXPECT_THAT(ToBytes(BuildUsbSerialQuery()), ElementsAre(0x12, 0x75, 0x02));
    EXPECT_THAT(ToBytes(BuildUnitSerialQuery()),
                ElementsAre(0x11, 0x40, 0x96, 0x69, 0x0F, 0xF0, 0x96, 0x69, 0x0F, 0xF0, 0x96, 0x69,
                            0x0F, 0xF0, 0x96, 0x69, 0x0F, 0xF0, 0x50, 0x00, 0x01));
    EXPECT_THAT(ToBytes(BuildSwitchBlockRequest()),
                ElementsAre(0x12, 0x6C, 0xFF, 'T', 'A', 'V', 'S', 'W', 'I', 'T', 'C', 'H', 'Q'));
}

TEST(Requests, SwitchBlockKeywordIsTenUppercaseLetters) {
    const SwitchBlockRequest r = BuildSwitchBlockRequest();
    for (size_t i = 3; i < r.size(); ++i)
        EXPECT_TRUE(r[i] >= 'A' && r[i] <= 'Z') << i;
}

TEST(Requests, PrinterResponseReceiveAndNotReceive) {
    EXPECT_EQ(WithPrinterResponse(0x72, true), 0x7A);
    EXPECT_EQ(WithPrinterResponse(0x7A, false), 0x72);
    EXPECT_EQ(WithPrinterResponse(0x7A, true), 0x7A);
    EXPECT_THAT(ToBytes(BuildPrinterResponseRequest(0x7A)),
                ElementsAre(0x12, 0x77, 0x85, 0x7A, 0x00, 0x12, 0x40));
    EXPECT_THAT(ToBytes(BuildPrinterResponseRequest(0x72)),
                ElementsAre(0x12, 0x77, 0x85, 0x72, 0x00, 0x12, 0x40));
}

TEST(Requests, UsbClassBitFollowsSerialMode) {
    EXPECT_EQ(WithUsbClassForMode(0x24, 1), 0x25);
    EXPECT_EQ(WithUsbClassForMode(0x25, 0), 0x24);
    EXPECT_EQ(WithUsbClassForMode(0x25, 1), 0x25);
    EXPECT_THAT(ToBytes(BuildUsbClassRequest(0x25)),
                ElementsAre(0x12, 0x75, 0x03, 0x25, 0x12, 0x40));
    EXPECT_THAT(ToBytes(BuildUsbClassRequest(0x24)),
                ElementsAre(0x12, 0x75, 0x03, 0x24, 0x12, 0x40));
}

TEST(Requests, UsbSerialManualAutoAndUndefined) {
    EXPECT_THAT(
        ToBytes(BuildUsbSerialRequest(SerialModeManual, "A1", 2)),
        ElementsAre(0x12, 0x75, 0x01, 0x41, 0x31, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x12, 0x40));
    // Undefined: Manual with an empty text.
    EXPECT_THAT(ToBytes(BuildUsbSerialRequest(SerialModeManual, "", 0)),
                ElementsAre(0x12, 0x75, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x12, 0x40));
    // Auto: zeros in the text field, whatever text was passed (e.g. a Manual text before).
    EXPECT_THAT(ToBytes(BuildUsbSerialRequest(SerialModeAuto, "LEFTOVER", 8)),
                ElementsAre(0x12, 0x75, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x12, 0x40));
}

TEST(Requests, UsbSerialManualTextIsCutToTenBytes) {
    const UsbSerialRequest r = BuildUsbSerialRequest(SerialModeManual, "0123456789ABC", 13);
    EXPECT_THAT(Bytes(r.begin() + 3, r.begin() + 13), ElementsAreArray("0123456789", 10));
    EXPECT_EQ(r[13], 0x00);
    EXPECT_EQ(r[14], 0x12);
    EXPECT_EQ(r[15], 0x40);
}

// --- the operations over a channel: forms of transaction and budgets ---

TEST(Operations, ReadSettingsBlockIsTheVendorRequestWith82ByteReply) {
    test::ScriptedChannel ch;
    Bytes reply(82, 0x30);
    reply[9] = 0x3A;
    reply[10] = 0x27;
    ch.ReplyBytes(reply);
    SettingsBlock block;
    EXPECT_TRUE(ReadSettingsBlock(ch, block));
    EXPECT_EQ(block.ResponseSwitch(), 0x7A);
    ASSERT_EQ(ch.log.size(), 1u);
    EXPECT_EQ(ch.log[0].ioctlCode, 0x22003Cu);
    EXPECT_THAT(ch.log[0].in, ElementsAre(0x10, 0x00, 0x00));
    EXPECT_EQ(ch.log[0].outSize, 82u);
    EXPECT_TRUE(ch.log[0].hasCount);
    EXPECT_EQ(ch.log[0].budgetMs, 1000u);
}

TEST(Operations, ReadSettingsBlockOfWrongLengthFailsButWasTransacted) {
    for (uint32_t count : {0u, 81u, 83u}) {
        test::ScriptedChannel ch;
        test::ScriptedOutcome o;
        o.reply = Bytes(82, 0x30);
        o.count = count;
        ch.Reply(o);
        SettingsBlock block;
        EXPECT_FALSE(ReadSettingsBlock(ch, block)) << count;
        EXPECT_TRUE(block.transacted);
        EXPECT_EQ(block.count, count);
    }
}

TEST(Operations, ReadSettingsBlockTransportFailure) {
    test::ScriptedChannel ch;
    test::ScriptedOutcome o;
    o.result = 0;
    o.count = 0;
    ch.Reply(o);
    SettingsBlock block;
    EXPECT_FALSE(ReadSettingsBlock(ch, block));
    EXPECT_FALSE(block.transacted);
}

TEST(Operations, SetRequestsAreSingleWritesWithoutCount) {
    test::ScriptedChannel ch;
    EXPECT_TRUE(SetPrinterResponse(ch, 0x7A));
    EXPECT_TRUE(SetUsbSerial(ch, SerialModeManual, "A1", 2));
    EXPECT_TRUE(SetUsbClass(ch, 0x25));
    ASSERT_EQ(ch.log.size(), 3u);
    for (const auto& t : ch.log) {
        EXPECT_EQ(t.ioctlCode, 0u);
        EXPECT_EQ(t.outSize, 0u);
        EXPECT_FALSE(t.hasCount);
        EXPECT_EQ(t.budgetMs, 1000u);
    }
    EXPECT_EQ(ch.log[0].in.size(), 7u);
    EXPECT_EQ(ch.log[1].in.size(), 16u);
    EXPECT_EQ(ch.log[2].in.size(), 6u);
}

TEST(Operations, SetRequestFailsWhenTheWriteIsRefused) {
    test::ScriptedChannel ch;
    ch.WriteResult(0);
    EXPECT_FALSE(SetUsbClass(ch, 0x24));
}

TEST(Operations, ReadSwitchBlockIsWriteThenReadOf128Bytes) {
    test::ScriptedChannel ch;
    Bytes reply(128, 0x40);
    reply[109] = 0x34;
    reply[110] = 0x22;
    ch.ReplyBytes(reply);
    SwitchBlock block;
    EXPECT_TRUE(ReadSwitchBlock(ch, block));
    EXPECT_EQ(block.UsbClassSwitch(), 0x24);
    ASSERT_EQ(ch.log.size(), 1u);
    EXPECT_EQ(ch.log[0].ioctlCode, 0u);
    EXPECT_EQ(ch.log[0].in.size(), 13u);
    EXPECT_EQ(ch.log[0].outSize, 128u);
    EXPECT_TRUE(ch.log[0].hasCount);
    EXPECT_EQ(ch.log[0].budgetMs, 1000u);
}

TEST(Operations, ReadSwitchBlockShortReplyFails) {
    test::ScriptedChannel ch;
    ch.ReplyBytes(Bytes(127, 0x40));
    SwitchBlock block;
    EXPECT_FALSE(ReadSwitchBlock(ch, block));
    EXPECT_TRUE(block.transacted);
    EXPECT_EQ(block.count, 127u);
}

}  // namespace
}  // namespace tav
