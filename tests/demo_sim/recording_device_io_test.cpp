// The wire recorder sits between the transport and the device I/O of the demonstration
// build: it must change nothing the transport sees (results, counts, last errors) and note
// each request and how it ended exactly once.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "printer/link/printer_link.h"
#include "shared/last_error.h"
#include "shared/win/errors.h"
#include "sim/printer/printer_world.h"
#include "sim/printer/scripted_firmware.h"
#include "sim/windows_values.h"
#include "tools/demo_sim/recording_device_io.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

// Keeps the notes; like any Windows call it may change the thread's last error.
class NoteList : public Timeline {
  public:
    void Note(const std::string& kind, const std::string& detail) override {
        notes.push_back(kind + " " + detail);
        SetLastErrorCode(12345);
    }
    size_t CountStartingWith(const std::string& prefix) const {
        size_t count = 0;
        for (const auto& note : notes)
            count += note.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
    std::vector<std::string> notes;
};

class RecordingDeviceIoTest : public ::testing::Test {
  protected:
    RecordingDeviceIoTest()
        : firmware(std::make_shared<sim::ScriptedFirmware>()),
          recorder(world.io, notes, [this] { ++waits; }),
          sys{world.clock, recorder, world.setup, world.services, world.spooler} {
        link.pszDevicePath = world.AddPrinter({}, firmware).path;
    }

    sim::PrinterWorld world;
    std::shared_ptr<sim::ScriptedFirmware> firmware;
    NoteList notes;
    int waits = 0;
    RecordingDeviceIo recorder;
    PrinterPlatform sys;
    PrinterLink link;
};

TEST_F(RecordingDeviceIoTest, PendingReplyIsPassedThroughAndNotedOnce) {
    sim::FirmwareReply reply;
    reply.data = {'O', 'K', 0x02};
    reply.delayMs = 30;
    firmware->QueueRead(reply);
    const uint8_t query[3] = {0x12, 0x75, 0x02};
    uint8_t answer[16] = {};
    uint32_t count = 0;

    const int result =
        PrinterTransact(sys, link, 0, query, sizeof query, answer, sizeof answer, &count, 1000);

    EXPECT_TRUE(result);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(answer[0], 'O');
    EXPECT_EQ(firmware->Kinds(), "WR");
    EXPECT_EQ(notes.CountStartingWith("wire write 3 bytes [12 75 02"), 1u);
    EXPECT_EQ(notes.CountStartingWith("wire read up to 16 bytes"), 1u);
    EXPECT_EQ(notes.CountStartingWith("wire   answered 3 bytes [4F 4B 02 \"OK.\"]"), 1u);
    EXPECT_GE(waits, 1);
}

TEST_F(RecordingDeviceIoTest, ReadCancelledAtTheDeadlineFailsAsWithoutTheRecorder) {
    sim::FirmwareReply silent;
    silent.never = true;
    firmware->QueueRead(silent);
    uint8_t answer[16];
    uint32_t count = 99;

    const int result =
        PrinterTransact(sys, link, 0, nullptr, 0, answer, sizeof answer, &count, 200);

    EXPECT_FALSE(result);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(notes.CountStartingWith("wire cancelled at the deadline"), 1u);
    EXPECT_EQ(notes.CountStartingWith("wire   failed, error 995"), 1u);
    EXPECT_EQ(world.io.OpenDeviceHandles(), 0u);
}

TEST_F(RecordingDeviceIoTest, FailedOpenKeepsTheSystemsError) {
    link.pszDevicePath =
        u"\\\\?\\USB#VID_1B7E&PID_0101#GONE#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    uint8_t answer[4];
    uint32_t count = 7;
    SetLastErrorCode(0);

    const int result =
        PrinterTransact(sys, link, 0, nullptr, 0, answer, sizeof answer, &count, 100);
    const uint32_t error = GetLastErrorCode();

    EXPECT_FALSE(result);
    EXPECT_NE(error, 12345u);  // not the note's own error
    EXPECT_NE(error, 0u);
    EXPECT_EQ(count, 7u);
    EXPECT_EQ(notes.CountStartingWith("wire open failed (error " + std::to_string(error)), 1u);
}

TEST_F(RecordingDeviceIoTest, ImmediateFailureOfAnOperationKeepsItsError) {
    sim::FirmwareReply broken;
    broken.error = win::kErrorGenFailure;
    firmware->QueueIoctl(broken);
    uint8_t answer[256];
    uint32_t count = 5;

    const int result = PrinterTransact(sys, link, sim::sdk::kIoctlGet1284Id, nullptr, 0, answer,
                                       sizeof answer, &count, 500);

    EXPECT_FALSE(result);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(notes.CountStartingWith("wire ioctl 0x220034 in 0 bytes"), 1u);
    EXPECT_EQ(notes.CountStartingWith("wire   failed, error 31"), 1u);
}

}  // namespace
}  // namespace tav::demo
