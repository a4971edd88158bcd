// The trace provider: the control callback, the trace point rule (registered, flag 1,
// level), the argument encodings and the exact bytes of events 22 and 11.

#include <gmock/gmock.h>

#include <new>

#include "shared/win/errors.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;

// An argument that counts how often its length is computed.
struct LengthProbe {
    int* computed;
};
TraceArg EncodeTraceArg(const LengthProbe& probe) {
    ++*probe.computed;
    return TraceArg{probe.computed, sizeof(int)};
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TraceTest : public PortCoreTest {
  protected:
    void EmitOneOfEach() {
        core->Trace().Emit(TraceModule::kService, 16, win::kTraceLevelError);
        core->Trace().Emit(TraceModule::kService, 20, win::kTraceLevelInformation);
    }
};

TEST_F(TraceTest, NothingIsSentUntilRegisteredAndEnabled) {
    int computed = 0;
    core->Trace().Emit(TraceModule::kService, 16, win::kTraceLevelError, LengthProbe{&computed});
    core->Trace().Start();
    core->Trace().Emit(TraceModule::kService, 16, win::kTraceLevelError, LengthProbe{&computed});
    EXPECT_TRUE(world.recorder.Events().empty());
    EXPECT_EQ(computed, 0);
}

TEST_F(TraceTest, LevelAndFlagMatrix) {
    core->Trace().Start();
    const struct {
        uint8_t level;
        uint32_t flags;
        std::vector<uint16_t> expected;
    } cases[] = {
        {3, 1, {16}}, {4, 1, {16, 20}}, {5, 1, {16, 20}}, {0xFF, 3, {16, 20}},
        {2, 1, {16}}, {1, 1, {}},       {4, 2, {}},       {5, 0xFFFFFFFE, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << int(c.level) << " flags " << c.flags);
        world.recorder.ClearEvents();
        ASSERT_EQ(world.recorder.Enable(c.level, c.flags), win::kErrorSuccess);
        EmitOneOfEach();
        EXPECT_EQ(ServiceEvents(), c.expected);
    }
    world.recorder.Disable();
    world.recorder.ClearEvents();
    EmitOneOfEach();
    EXPECT_THAT(ServiceEvents(), IsEmpty());
}

TEST_F(TraceTest, DisabledTracePointComputesNoArgumentLength) {
    core->Trace().Start();
    world.recorder.Enable(3, 1);
    int computed = 0;
    core->Trace().Emit(TraceModule::kService, 22, win::kTraceLevelInformation,
                       LengthProbe{&computed});
    EXPECT_EQ(computed, 0);
    core->Trace().Emit(TraceModule::kService, 10, win::kTraceLevelError, LengthProbe{&computed});
    EXPECT_EQ(computed, 1);
}

TEST_F(TraceTest, ControlCallbackHandlesEnableAndDisableOnly) {
    core->Trace().Start();
    EXPECT_EQ(world.recorder.Enable(4, 1, 0x1234), win::kErrorSuccess);
    EXPECT_EQ(world.recorder.EnableFieldReads(), 3);
    auto& record = core->Trace().Record();
    EXPECT_EQ(record.logger.load(), 0x1234u);
    uint32_t replySize = 77;
    EXPECT_EQ(world.recorder.SendControl(0, &replySize), win::kErrorInvalidParameter);
    EXPECT_EQ(replySize, 0u);
    EXPECT_EQ(record.level.load(), 4);
    EXPECT_EQ(record.flags.load(), 1u);
    EXPECT_EQ(world.recorder.Disable(), win::kErrorSuccess);
    EXPECT_EQ(world.recorder.EnableFieldReads(), 3);  // disable reads nothing
    EXPECT_EQ(record.logger.load(), 0u);
    EXPECT_EQ(record.level.load(), 0);
    EXPECT_EQ(record.flags.load(), 0u);
}

// A request the provider cannot read at the boundary of the tracing system's callback.
class FailingEnableRequest : public TraceEnableRequest {
  public:
    uint64_t LoggerHandle() override { return 0x5678; }
    uint8_t EnableLevel() override { throw std::bad_alloc(); }
    uint32_t EnableFlags() override { return 1; }
};

TEST_F(TraceTest, ControlCallbackTurnsAFailedEnableIntoInvalidParameterWithTracingOff) {
    core->Trace().Start();
    ASSERT_EQ(world.recorder.Enable(4, 1, 0x1234), win::kErrorSuccess);
    auto& record = core->Trace().Record();
    FailingEnableRequest request;
    uint32_t replySize = 77;
    EXPECT_EQ(TraceControlCallback(win::kWmiEnableEvents, record, &replySize, request),
              win::kErrorInvalidParameter);
    EXPECT_EQ(replySize, 0u);
    // Half an enable (the new logger, the old level) would send events nobody asked for.
    EXPECT_EQ(record.logger.load(), 0u);
    EXPECT_EQ(record.level.load(), 0);
    EXPECT_EQ(record.flags.load(), 0u);
    EmitOneOfEach();
    EXPECT_THAT(ServiceEvents(), IsEmpty());
}

TEST_F(TraceTest, MessagesCarryLoggerFlagsAndModuleGuid) {
    core->Trace().Start();
    world.recorder.Enable(4, 1, 0xABC);
    core->Trace().Emit(TraceModule::kDevice, 12, win::kTraceLevelInformation);
    auto events = world.recorder.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].module, TraceModule::kDevice);
    EXPECT_EQ(events[0].logger, 0xABCu);
    EXPECT_EQ(events[0].messageFlags, 0x2Bu);
    EXPECT_THAT(events[0].args, IsEmpty());
}

TEST_F(TraceTest, ArgumentEncodings) {
    core->Trace().Start();
    world.recorder.Enable(4, 1);
    uint32_t number = 0x01020304;
    core->Trace().Emit(TraceModule::kService, 22, win::kTraceLevelInformation, TraceNarrow{nullptr},
                       number, TraceU16{nullptr});
    core->Trace().Emit(TraceModule::kService, 22, win::kTraceLevelInformation, TraceNarrow{"Link"},
                       number, TraceU16{u""});
    auto events = world.recorder.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].args[0], sim::NarrowBytes("NULL"));
    EXPECT_EQ(events[0].args[0].size(), 5u);
    EXPECT_EQ(events[0].args[1], (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(events[0].args[2], sim::U16Bytes(u"NULL"));
    EXPECT_EQ(events[0].args[2].size(), 10u);
    EXPECT_EQ(events[1].args[0], sim::NarrowBytes("Link"));
    EXPECT_EQ(events[1].args[2], sim::U16Bytes(u"<NULL>"));
    EXPECT_EQ(events[1].args[2].size(), 14u);
}

TEST_F(TraceTest, Event22BytesFromAPass) {
    EnableTracing(4, 1);
    std::u16string first = world.AddPrinter(u"A1");
    std::u16string second = world.AddPrinter(u"B2");
    world.AddPort();
    sim.log.Clear();
    Pass();
    auto events = world.recorder.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].number, 22);
    EXPECT_EQ(events[0].level, win::kTraceLevelInformation);
    ASSERT_EQ(events[0].args.size(), 3u);
    EXPECT_EQ(events[0].args[0], sim::NarrowBytes("Link"));
    EXPECT_EQ(events[0].args[1].size(), 4u);
    // The low half of the free port's open key: the first key the simulated registry opened.
    EXPECT_EQ(events[0].args[1], sim::Le32(0x1000));
    EXPECT_EQ(events[0].args[2], sim::U16Bytes(first));
    EXPECT_EQ(events[1].args[0], sim::NarrowBytes("Install and link"));
    EXPECT_EQ(events[1].args[0].size(), 17u);
    EXPECT_EQ(events[1].args[1], sim::Le32(0));
    EXPECT_EQ(events[1].args[2], sim::U16Bytes(second));
}

TEST_F(TraceTest, StopUnregistersOnceAndDropsLaterEvents) {
    core->Trace().Start();
    world.recorder.Enable(5, 1);
    core->Trace().Stop();
    core->Trace().Stop();
    EXPECT_EQ(sim.log.Count("UnregisterTraceGuids"), 1u);
    EmitOneOfEach();
    EXPECT_TRUE(world.recorder.Events().empty());
}

TEST_F(TraceTest, FailedRegistrationLeavesEveryEventOff) {
    sim.faults.Fail("RegisterTraceGuidsW", win::kErrorAccessDenied);
    core->Trace().Start();
    EXPECT_FALSE(world.recorder.Registered());
    EmitOneOfEach();
    EXPECT_TRUE(world.recorder.Events().empty());
    core->Trace().Stop();
    EXPECT_EQ(sim.log.Count("UnregisterTraceGuids"), 0u);
}

}  // namespace
}  // namespace tav::test
