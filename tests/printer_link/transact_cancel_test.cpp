// The deadline and the end of every attempt: cancellation, late ends, failed waits, and the
// device handle closed after every transaction.

#include "sim/windows_values.h"
#include "tests/printer_link/printer_fixture.h"

namespace tav::test {
using namespace tav::setup;
namespace {

class TransactDeadline : public PrinterFixture {
  protected:
    void SetUp() override { Plug(); }
    void ExpectAllEnded() {
        EXPECT_EQ(link.hDevice, win::kNoHandle);
        EXPECT_EQ(world.io.OpenDeviceHandles(), 0u);
        EXPECT_EQ(world.io.OpenEvents(), 0u);
        EXPECT_EQ(world.io.PendingOperations(), 0u);
        EXPECT_EQ(world.io.AbandonedOperations(), 0u);
        EXPECT_EQ(world.io.ForeverWaits(), 0u);
    }
    uint8_t reply[256] = {};
};

TEST_F(TransactDeadline, IoctlWithReplyCancelledAtTheDeadlineFails) {
    firmware->QueueIoctl(Pending());
    uint32_t count = 1;
    const uint32_t start = Now();
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                 256, &count, 500));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Now() - start, 500u);
    EXPECT_EQ(CallsOf({"WaitForMultipleObjects", "CancelIo", "GetOverlappedResult"}),
              (std::vector<std::string>{"WaitForMultipleObjects 500", "CancelIo",
                                        "GetOverlappedResult nowait"}));
    ExpectAllEnded();
}

TEST_F(TransactDeadline, IoctlWithoutReplyCancelledAtTheDeadlineCountsAsDone) {
    firmware->QueueIoctl(Pending());
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlVendorGetCommand, "abc", 3,
                                nullptr, 0, nullptr, 1000));
    ExpectAllEnded();
}

TEST_F(TransactDeadline, WriteWithoutReplyCancelledAtTheDeadlineCountsAsDone) {
    sim::FirmwareReply stuck = Pending();
    firmware->QueueWrite(stuck);
    uint32_t count = 5;
    EXPECT_TRUE(PrinterTransact(world.platform, link, 0, "set", 3, nullptr, 0, &count, 1000));
    EXPECT_EQ(count, 0u);
    ExpectAllEnded();
}

TEST_F(TransactDeadline, OperationEndingAfterTheCancelIsWaitedFor) {
    world.io.SetCancelLatency(30);
    firmware->QueueIoctl(Pending());
    uint32_t count = 1;
    const uint32_t start = Now();
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                 256, &count, 500));
    EXPECT_EQ(Now() - start, 530u);
    EXPECT_EQ(CallsOf({"GetOverlappedResult"}),
              (std::vector<std::string>{"GetOverlappedResult nowait", "GetOverlappedResult wait"}));
    ExpectAllEnded();
}

TEST_F(TransactDeadline, ReplyCompletingJustAtTheDeadlineIsTaken) {
    firmware->QueueIoctl(Reply("MFG:TAV;MDL:HX-P100;", 500));
    uint32_t count = 0;
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                256, &count, 500));
    EXPECT_EQ(count, 20u);
    EXPECT_EQ(Calls("CancelIo"), 0u);
}

TEST_F(TransactDeadline, FailedWaitCancelsAndWaitsForTheOperationBeforeReturning) {
    world.trace.faults.Fail("WaitForMultipleObjects", win::kErrorInvalidHandle);
    firmware->QueueIoctl(Reply("MFG:TAV;MDL:X;", 200));
    uint32_t count = 3;
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                 256, &count, 500));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(CallsOf({"WaitForMultipleObjects", "CancelIo", "GetOverlappedResult", "CloseHandle"}),
              (std::vector<std::string>{"WaitForMultipleObjects 500", "CancelIo",
                                        "GetOverlappedResult wait", "CloseHandle event",
                                        "CloseHandle device"}));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorInvalidHandle);
    ExpectAllEnded();
}

// The attempt's error is the transaction's, even when the releases after it fail.
TEST_F(TransactDeadline, AttemptErrorSurvivesFailingCloses) {
    firmware->QueueIoctl(Pending());
    world.trace.faults.FailAlways("CloseHandle", win::kErrorInvalidHandle);
    uint32_t count = 3;
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                 256, &count, 500));
    EXPECT_EQ(GetLastErrorCode(), win::kErrorOperationAborted);
    EXPECT_EQ(CallsOf({"CloseHandle"}),
              (std::vector<std::string>{"CloseHandle event", "CloseHandle device"}));
    EXPECT_EQ(link.hDevice, win::kNoHandle);
}

TEST_F(TransactDeadline, FailedCollectionAfterTheDeadlineFails) {
    firmware->QueueIoctl(Pending());
    world.trace.faults.Fail("GetOverlappedResult", win::kErrorGenFailure);
    EXPECT_FALSE(PrinterTransact(world.platform, link, sim::sdk::kIoctlVendorGetCommand, "abc", 3,
                                 nullptr, 0, nullptr, 100));
}

TEST_F(TransactDeadline, DeviceIsClosedAfterEveryKindOfTransaction) {
    firmware->QueueIoctl(Reply("abc"));
    uint32_t count = 0;
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                256, &count, 500));
    ExpectAllEnded();
    sim::FirmwareReply broken;
    broken.error = win::kErrorGenFailure;
    firmware->QueueWrite(broken);
    EXPECT_FALSE(PrinterTransact(world.platform, link, 0, "x", 1, reply, 256, &count, 500));
    ExpectAllEnded();
    firmware->QueueRead(Pending());
    EXPECT_FALSE(PrinterTransact(world.platform, link, 0, nullptr, 0, reply, 256, &count, 500));
    ExpectAllEnded();
    world.trace.faults.Fail("ReadFile", win::kErrorGenFailure);
    EXPECT_FALSE(PrinterTransact(world.platform, link, 0, nullptr, 0, reply, 256, nullptr, 500));
    ExpectAllEnded();
    EXPECT_EQ(Calls("CreateFileW"), Calls("CloseHandle device"));
}

TEST_F(TransactDeadline, HandleFoundOpenIsReusedAndClosedAtTheEnd) {
    link.hDevice = world.io.OpenDevice(
        printer.path, {sim::sdk::kGenericRead | sim::sdk::kGenericWrite, sim::sdk::kFileShareRead,
                       sim::sdk::kFileFlagOverlapped});
    ASSERT_NE(link.hDevice, win::kNoHandle);
    firmware->QueueIoctl(Reply("abc"));
    uint32_t count = 0;
    EXPECT_TRUE(PrinterTransact(world.platform, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, reply,
                                256, &count, 500));
    EXPECT_EQ(Calls("CreateFileW"), 1u);
    ExpectAllEnded();
}

}  // namespace
}  // namespace tav::test
