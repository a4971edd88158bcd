// Attempts of one transaction: how many, with which budgets, and what the count says.

#include "sim/windows_values.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class TransactAttempts : public PrinterFixture {
  protected:
    void SetUp() override { Plug(); }
    uint8_t buffer[128] = {};
};

TEST_F(TransactAttempts, IoctlReplyCompletingAtOnceGivesItsCount) {
    firmware->QueueIoctl(Reply("0123456789"));
    uint32_t count = 99;
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlVendorGetCommand, "abc", 3,
                                buffer, 82, &count, 1000));
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 10), "0123456789");
    ASSERT_EQ(firmware->Requests().size(), 1u);
    EXPECT_EQ(firmware->Requests()[0].code, sim::sdk::kIoctlVendorGetCommand);
    EXPECT_EQ(firmware->Requests()[0].data, Bytes("abc"));
    EXPECT_EQ(firmware->Requests()[0].size, 82u);
}

TEST_F(TransactAttempts, PendingReplyWithinBudgetIsCollectedWhenItArrives) {
    firmware->QueueIoctl(Reply("xyz", 300));
    uint32_t count = 0;
    const uint32_t start = Now();
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlVendorGetCommand, "abc", 3,
                                buffer, 82, &count, 1000));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(Now() - start, 300u);
    EXPECT_EQ(world.trace.log.EntriesStartingWith("WaitForMultipleObjects"),
              std::vector<std::string>{"WaitForMultipleObjects 1000"});
}

TEST_F(TransactAttempts, WithoutCountOneAttemptOnlyEvenWhenNothingCame) {
    firmware->QueueRead(Reply("", 0));
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, nullptr, 0, buffer, 128, nullptr, 1000));
    EXPECT_EQ(firmware->Kinds(), "R");
}

TEST_F(TransactAttempts, WithoutCountAWriteIsNeverFollowedByARead) {
    EXPECT_TRUE(
        PrinterTransact(world.platform, link, 0, "0123456789abc", 13, buffer, 128, nullptr, 1000));
    EXPECT_EQ(firmware->Kinds(), "W");
}

TEST_F(TransactAttempts, EmptyReadsRepeatWithShrinkingBudgets) {
    // Budget 1000: nothing at 300 -> 700 left; nothing at 500 in all -> 200; nothing at 600
    // in all: spent, TRUE with count 0.
    firmware->QueueRead(Reply("", 300));
    firmware->QueueRead(Reply("", 200));
    firmware->QueueRead(Reply("", 100));
    firmware->QueueRead(Reply("late", 0));
    uint32_t count = 7;
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, nullptr, 0, buffer, 128, &count, 1000));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(firmware->Kinds(), "RRR");
    EXPECT_EQ(world.trace.log.EntriesStartingWith("WaitForMultipleObjects"),
              (std::vector<std::string>{"WaitForMultipleObjects 1000", "WaitForMultipleObjects 700",
                                        "WaitForMultipleObjects 200"}));
}

TEST_F(TransactAttempts, EmptyReadThenDataGivesTheDataCount) {
    firmware->QueueRead(Reply("", 100));
    firmware->QueueRead(Reply("hello", 50));
    uint32_t count = 0;
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, nullptr, 0, buffer, 128, &count, 1000));
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(firmware->Kinds(), "RR");
}

TEST_F(TransactAttempts, FailedAttemptGivesFalseAndCountZero) {
    sim::FirmwareReply broken;
    broken.error = win::kErrorGenFailure;
    firmware->QueueIoctl(broken);
    uint32_t count = 5;
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0,
                                 buffer, 128, &count, 500));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(GetLastErrorCode(), win::kErrorGenFailure);
    EXPECT_EQ(firmware->Kinds(), "I");
}

TEST_F(TransactAttempts, FailedOpenLeavesCountUntouched) {
    world.trace.faults.Fail("CreateFileW", win::kErrorFileNotFound);
    uint32_t count = 42;
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0,
                                 buffer, 128, &count, 500));
    EXPECT_EQ(count, 42u);
    EXPECT_EQ(GetLastErrorCode(), win::kErrorFileNotFound);
}

TEST_F(TransactAttempts, EventThatCannotBeCreatedFailsTheAttemptWithoutAnOperation) {
    world.trace.faults.Fail("CreateEventW", win::kErrorNotEnoughMemory);
    uint32_t count = 3;
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0,
                                 buffer, 128, &count, 500));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(firmware->Requests().empty());
    EXPECT_EQ(link.hDevice, win::kNoHandle);
}

TEST_F(TransactAttempts, RequestAbove65535BytesIsCutTo65535) {
    std::vector<uint8_t> big(70000, 0x5A);
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, big.data(),
                                static_cast<uint32_t>(big.size()), nullptr, 0, nullptr, 1000));
    ASSERT_EQ(firmware->Requests().size(), 1u);
    EXPECT_EQ(firmware->Requests()[0].data.size(), 65535u);
}

TEST_F(TransactAttempts, ReplyCapacityIsNotCapped) {
    std::vector<uint8_t> out(70000);
    firmware->QueueRead(Reply(std::string(68000, 'r')));
    uint32_t count = 0;
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, nullptr, 0, out.data(),
                                static_cast<uint32_t>(out.size()), &count, 1000));
    EXPECT_EQ(firmware->Requests()[0].size, 70000u);
    EXPECT_EQ(count, 68000u);
}

}  // namespace
}  // namespace tav::test
