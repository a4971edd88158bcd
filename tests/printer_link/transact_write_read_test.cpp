// Write-then-read: a command taken whole is answered by a read 10 ms later.

#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class TransactWriteRead : public PrinterFixture {
  protected:
    void SetUp() override { Plug(); }
    const std::string command = "0123456789abc";  // 13 bytes
    uint8_t reply[128] = {};
};

TEST_F(TransactWriteRead, WholeWriteIsFollowedTenMsLaterByAReadOfTheFullCapacity) {
    firmware->QueueWrite(Accept(13, 40));
    firmware->QueueRead(Reply("answer", 60));
    uint32_t count = 0;
    const uint32_t start = Now();
    EXPECT_TRUE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, reply, 128, &count, 1000));
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 6), "answer");
    EXPECT_EQ(firmware->Kinds(), "WR");
    EXPECT_EQ(firmware->Requests()[0].data, Bytes(command));
    EXPECT_EQ(firmware->Requests()[1].size, 128u);
    EXPECT_EQ(Now() - start, 40u + 10u + 60u);
    // The read's budget is what is left after the write: 1000 - 40.
    EXPECT_EQ(
        world.trace.log.EntriesStartingWith("WaitForMultipleObjects"),
        (std::vector<std::string>{"WaitForMultipleObjects 1000", "WaitForMultipleObjects 960"}));
}

TEST_F(TransactWriteRead, ShortWriteEndsWithItsCountAndNoRead) {
    firmware->QueueWrite(Accept(8));
    uint32_t count = 0;
    EXPECT_TRUE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, reply, 128, &count, 1000));
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(firmware->Kinds(), "W");
}

TEST_F(TransactWriteRead, WriteWithoutReplyBufferIsNotFollowedByARead) {
    uint32_t count = 0;
    EXPECT_TRUE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, nullptr, 0, &count, 1000));
    EXPECT_EQ(count, 13u);
    EXPECT_EQ(firmware->Kinds(), "W");
}

TEST_F(TransactWriteRead, WriteThatSpendsTheBudgetFailsWithoutARead) {
    firmware->QueueWrite(Accept(13, 1000));
    uint32_t count = 9;
    EXPECT_FALSE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, reply, 128, &count, 1000));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(firmware->Kinds(), "W");
}

TEST_F(TransactWriteRead, EmptyReadAfterTheWriteIsIssuedAgain) {
    firmware->QueueRead(Reply("", 100));
    firmware->QueueRead(Reply("ok", 0));
    uint32_t count = 0;
    EXPECT_TRUE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, reply, 128, &count, 1000));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(firmware->Kinds(), "WRR");
}

TEST_F(TransactWriteRead, ReadThatTimesOutAfterTheWriteFails) {
    firmware->QueueRead(Pending());
    uint32_t count = 4;
    EXPECT_FALSE(
        PrinterTransact(world.platform, link, 0, command.data(), 13, reply, 128, &count, 1000));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(firmware->Kinds(), "WR");
    EXPECT_EQ(Calls("CancelIo"), 1u);
}

}  // namespace
}  // namespace tav::test
