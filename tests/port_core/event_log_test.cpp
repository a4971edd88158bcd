// The service's Application log entries: which events, with which IDs, types and strings,
// at which moments, against the simulated Event Log; the event table against the message
// table the build compiles; and the simulated log's own refusals.

#include <gmock/gmock.h>

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/ports/sim_message_table.h"
#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint16_t kError = 1;
constexpr uint16_t kWarning = 2;
constexpr uint16_t kInformation = 4;

class EventLogTest : public PortCoreTest {
  protected:
    EventLogTest() { EnableTracing(); }

    void Start() {
        ASSERT_EQ(core->StartHook([] { return win::kSOk; }, 0x1), win::kSOk);
    }
    void Stop() {
        ASSERT_EQ(core->StopHook([] { return win::kSOk; }), win::kSOk);
    }

    // Event IDs as the viewer shows them, in order.
    std::vector<uint32_t> EventIds() const {
        std::vector<uint32_t> ids;
        for (const auto& e : world.eventLog.Entries())
            ids.push_back(e.id & 0xFFFF);
        return ids;
    }
    sim::SimEventEntry Entry(size_t index) const {
        auto entries = world.eventLog.Entries();
        if (index >= entries.size()) {
            ADD_FAILURE() << "no entry " << index;
            return {};
        }
        return entries[index];
    }
};

TEST_F(EventLogTest, StartCreatedPortLinkedPrinterAndStopAreWrittenAndNothingElse) {
    std::u16string printer = world.AddPrinter(u"A1");
    world.clock.Advance(500);
    Start();
    auto started = Entry(0);
    EXPECT_EQ(started.source, u"Tavportsvc");
    EXPECT_EQ(started.type, kInformation);
    EXPECT_EQ(started.id, 0x40000000u | 1026);
    EXPECT_THAT(started.strings, ElementsAre(TAV_EXPECTED_VERSION));
    EXPECT_EQ(started.text,
              std::string("The service started (version ") + TAV_EXPECTED_VERSION + ").");
    EXPECT_EQ(started.tick, 1500u);
    // The start-up pass created COM3 and linked the printer to it; the trace also had the
    // link decision (22), the missing port (23) and the driver installation (device 11, 12),
    // which the table keeps out of the log.
    EXPECT_THAT(EventIds(), ElementsAre(1026, 1028, 1029));
    EXPECT_THAT(ServiceEvents(), ElementsAre(22, 23));
    EXPECT_THAT(DeviceEvents(), ElementsAre(11, 12));
    EXPECT_THAT(Entry(1).strings, ElementsAre("COM3"));
    EXPECT_EQ(Entry(1).text, "Created the virtual serial port COM3.");
    EXPECT_THAT(Entry(2).strings, ElementsAre(ToUtf8(printer), "COM3"));
    EXPECT_EQ(Entry(2).type, kInformation);
    EXPECT_EQ(sim.log.Count("RegGetValueW \\PortName"), 2u);  // read for the log's names

    world.clock.Advance(250);
    Stop();
    EXPECT_THAT(EventIds(), ElementsAre(1026, 1028, 1029, 1027));
    EXPECT_EQ(Entry(3).tick, 1750u);
    EXPECT_EQ(world.eventLog.OpenSourceCount(), 0);
    EXPECT_THAT(world.eventLog.Refusals(), IsEmpty());
}

TEST_F(EventLogTest, FailedPassWritesTheErrorCodeAndItsText) {
    world.AddPrinter(u"A1");
    world.AddPort();
    sim.faults.Fail("RegCreateKeyExW", win::kErrorAccessDenied);
    Start();
    ASSERT_THAT(EventIds(), ElementsAre(1026, 1010));
    EXPECT_EQ(Entry(1).type, kError);
    EXPECT_EQ(Entry(1).id, 0xC0000000u | 1010);
    EXPECT_THAT(Entry(1).strings, ElementsAre("5", "Access is denied."));
    EXPECT_EQ(Entry(1).text,
              "A port's link key could not be created or opened. Error 5: Access "
              "is denied.");

    // A mutex that cannot be opened is a warning; the pass links as if the utility did not run.
    world.eventLog.ClearEntries();
    sim.faults.Fail("OpenMutexW", win::kErrorAccessDenied);
    Pass();
    EXPECT_THAT(EventIds(), ElementsAre(1021, 1029));
    EXPECT_EQ(Entry(0).type, kWarning);
    EXPECT_THAT(Entry(0).strings, ElementsAre("5", "Access is denied."));
}

TEST_F(EventLogTest, UtilityHoldIsWrittenOncePerHold) {
    world.AddPort();
    Start();
    world.eventLog.ClearEntries();
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    Pass();
    Pass();
    Pass();
    EXPECT_THAT(EventIds(), ElementsAre(1020));  // the trace has it every pass
    EXPECT_THAT(ServiceEvents(), ElementsAre(20, 20, 20));
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    Pass();
    EXPECT_THAT(EventIds(), ElementsAre(1020));
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);  // the utility comes back
    Pass();
    Pass();
    EXPECT_THAT(EventIds(), ElementsAre(1020, 1020));
    EXPECT_EQ(Entry(1).type, kInformation);
    EXPECT_EQ(Entry(1).text,
              "The setup utility is running; printers are linked to ports once it has closed.");
}

TEST_F(EventLogTest, PassesLinkWhateverTheLogDoes) {
    std::u16string first = world.AddPrinter(u"A1");
    std::u16string port = world.AddPort();
    sim.faults.FailAlways("RegisterEventSourceW", 1722);
    Start();
    EXPECT_EQ(world.Link(port), first);
    EXPECT_THAT(world.eventLog.Entries(), IsEmpty());
    EXPECT_EQ(sim.log.Count("RegGetValueW \\PortName"), 0u);  // no COM name read for nobody
    Stop();
    EXPECT_EQ(sim.log.Count("DeregisterEventSource"), 0u);

    // Every entry refused: the source is still given back.
    sim.faults.Clear();
    core = std::make_unique<PortLinkCore>(world.Platform());
    std::u16string second = world.AddPrinter(u"B2");
    sim.faults.FailAlways("ReportEventW", 1722);
    Start();
    EXPECT_EQ(world.Ports().size(), 2u);
    EXPECT_EQ(world.Link(world.Ports()[1]), second);
    Stop();
    EXPECT_EQ(world.eventLog.OpenSourceCount(), 0);
    EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
}

TEST_F(EventLogTest, UnregisteredSourceStillWritesEntriesWithoutTheirText) {
    world.eventLog.UnregisterMessageSource(u"Tavportsvc");
    Start();
    ASSERT_THAT(EventIds(), ElementsAre(1026));
    EXPECT_EQ(Entry(0).text,
              "The description for Event ID 1026 from source Tavportsvc cannot be found.");
}

// The number of strings an event brings: its arguments, an error code counting twice.
int StringCount(const TraceEventDef& e) {
    int count = 0;
    for (size_t i = 0; i < e.argCount; ++i)
        count += e.args[i].winError ? 2 : 1;
    return count;
}

TEST(EventMessageTable, EveryLoggedEventHasItsMessageWithItsStringsInBothLanguages) {
    const sim::SimMessageTable& table = sim::SimMessageTable::Service();
    ASSERT_FALSE(table.Messages().empty()) << "Tavportsvc.mc did not parse";
    const uint32_t severityOf[] = {0, 3, 2, 1};  // none, error, warning, information
    size_t logged = 0;
    for (const TraceEventDef* e : kEventTable) {
        SCOPED_TRACE(testing::Message() << e->function << " " << e->number);
        if (e->eventLog.type == EventLogType::kNone) {
            EXPECT_EQ(e->eventLog.messageId, 0u);
            continue;
        }
        ++logged;
        const sim::SimMessage* m = table.Find(e->eventLog.messageId);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->id >> 30, severityOf[static_cast<int>(e->eventLog.type)]);
        uint32_t base = e->module == TraceModule::kService ? 1000 : 2000;
        EXPECT_EQ(m->id & 0xFFFF, base + e->number);
        EXPECT_EQ(m->insertions, StringCount(*e));
        ASSERT_EQ(m->texts.count("Japanese"), 1u);
        EXPECT_EQ(sim::HighestInsertion(m->texts.at("Japanese")), m->insertions);
    }
    EXPECT_EQ(logged, table.Messages().size());  // no message that nothing writes
}

class SimEventLogTest : public PortCoreTest {};

TEST_F(SimEventLogTest, RefusesWhatWindowsRefuses) {
    sim::SimEventLog& log = world.eventLog;
    const char16_t* two[] = {u"5", u"Access is denied."};
    const char16_t* one[] = {u"2.0"};
    const uint32_t linkKeyFailed = 0xC0000000u | 1010;
    EXPECT_FALSE(log.Report(0, kError, linkKeyFailed, two, 2));
    EXPECT_EQ(GetLastErrorCode(), 6u);
    PlatformHandle source = log.RegisterSource(u"Tavportsvc");
    ASSERT_NE(source, 0u);
    EXPECT_FALSE(log.Report(source, 3, linkKeyFailed, two, 2));  // no such entry type
    EXPECT_EQ(GetLastErrorCode(), 87u);
    EXPECT_FALSE(log.Report(source, kError, linkKeyFailed, one, 1));  // the message takes two
    EXPECT_EQ(GetLastErrorCode(), 87u);
    EXPECT_FALSE(log.Report(source, kError, linkKeyFailed, nullptr, 2));
    EXPECT_TRUE(log.Report(source, kError, linkKeyFailed, two, 2));
    EXPECT_TRUE(log.DeregisterSource(source));
    EXPECT_FALSE(log.Report(source, kError, linkKeyFailed, two, 2));  // after deregistration
    EXPECT_EQ(GetLastErrorCode(), 6u);
    EXPECT_FALSE(log.DeregisterSource(source));
    EXPECT_EQ(log.RegisterSource(u"Security"), 0u);
    EXPECT_EQ(GetLastErrorCode(), 5u);
    EXPECT_THAT(log.Refusals(),
                ElementsAre("source handle not open", "unknown entry type",
                            "string count differs from the message", "insertion strings missing",
                            "source handle not open", "source handle not open"));
    EXPECT_EQ(log.Entries().size(), 1u);
}

}  // namespace
}  // namespace tav::test
