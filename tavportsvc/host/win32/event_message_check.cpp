// The build fails when the event table and the message table disagree: every message the
// table writes exists in Tavportsvc.mc, and every message there is written by one event.
#include "portlink/core/trace_events.h"
#include "tavportsvc_message_ids.h"  // generated from windmc's header

namespace tav::portsvc {
namespace {

constexpr bool InMessageTable(uint32_t id) {
    for (uint32_t known : kMessageTableIds) {
        if (known == id)
            return true;
    }
    return false;
}

constexpr int EventsWriting(uint32_t id) {
    int count = 0;
    for (const TraceEventDef* e : kEventTable)
        count += e->eventLog.type != EventLogType::kNone && e->eventLog.messageId == id ? 1 : 0;
    return count;
}

constexpr bool EveryEventMessageExists() {
    for (const TraceEventDef* e : kEventTable) {
        if (e->eventLog.type != EventLogType::kNone && !InMessageTable(e->eventLog.messageId))
            return false;
    }
    return true;
}

constexpr bool EveryMessageWrittenOnce() {
    for (uint32_t id : kMessageTableIds) {
        if (EventsWriting(id) != 1)
            return false;
    }
    return true;
}

static_assert(EveryEventMessageExists(),
              "an event of the table names a message ID that Tavportsvc.mc does not have");
static_assert(EveryMessageWrittenOnce(),
              "a message of Tavportsvc.mc is written by no event of the table, or by several");

}  // namespace
}  // namespace tav::portsvc
