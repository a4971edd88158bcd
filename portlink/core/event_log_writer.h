#pragma once
// Writes the table's Event Log events under the service's source. Nothing here may stop a
// pass: a source that cannot be opened, a refused entry or a lack of memory only loses the
// entry. Open and Close run on the service thread while no pass runs; entries come from
// passes, which never overlap, and from the start and stop hooks.

#include <atomic>
#include <cstddef>

#include "portlink/core/event_log_api.h"
#include "portlink/core/trace_back_end.h"
#include "portlink/core/trace_events.h"

namespace tav::portsvc {

class EventLogWriter {
  public:
    // `api` may be null: nothing is written.
    explicit EventLogWriter(EventLogApi* api) : m_api(api) {}
    ~EventLogWriter() { Close(); }
    EventLogWriter(const EventLogWriter&) = delete;
    EventLogWriter& operator=(const EventLogWriter&) = delete;

    // Registers the source "Tavportsvc"; on failure entries are dropped until the next Open.
    void Open();
    void Close();
    bool IsOpen() const { return m_source.load() != win::kNoHandle; }

    // One entry for `event` (which must have an Event Log part) from its arguments, encoded
    // as for the trace. An error code becomes two strings: the code and its text.
    void Write(const TraceEventDef& event, const TraceArg* args, size_t count) noexcept;

    // The condition of the once-per-hold events has gone: the next one is written again.
    void EndHold() { m_holdReported.store(false); }

  private:
    void Report(const TraceEventDef& event, const TraceArg* args, size_t count);

    EventLogApi* m_api;
    std::atomic<PlatformHandle> m_source{win::kNoHandle};
    std::atomic<bool> m_holdReported{false};
};

// The Windows entry type of a table entry type.
uint16_t EventLogEntryType(EventLogType type);

}  // namespace tav::portsvc
