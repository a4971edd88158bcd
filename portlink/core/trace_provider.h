#pragma once
// The service's trace provider: registration, the trace point rule and the argument
// encodings. A trace point tests the rule (registered, flag 1, level) before it computes
// any argument length, so a disabled trace point costs only that test. An event point of the
// table also hands the event to the Event Log when the table says so and a writer is given.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "portlink/core/event_log_writer.h"
#include "portlink/core/trace_back_end.h"
#include "portlink/core/trace_control.h"
#include "portlink/core/trace_events.h"
#include "shared/guid.h"
#include "shared/win/trace.h"

namespace tav::portsvc {

inline constexpr uint32_t kTraceMessageFlags = win::kTraceMessageSequence | win::kTraceMessageGuid |
                                               win::kTraceMessageTimestamp |
                                               win::kTraceMessageSystemInfo;

// Argument kinds. A missing UTF-16 text is sent as "NULL", an empty one as "<NULL>"; a
// missing narrow text as "NULL".
struct TraceU16 {
    const char16_t* text;
};
struct TraceNarrow {
    const char* text;
};
// Other argument types (an int, a size_t) would be converted to a temporary whose address
// outlives it; they must be given as one of the kinds above.
template <typename T>
TraceArg EncodeTraceArg(const T& value) = delete;
TraceArg EncodeTraceArg(const uint32_t& value);
TraceArg EncodeTraceArg(const TraceU16& value);
TraceArg EncodeTraceArg(const TraceNarrow& value);

// The kind each argument type travels as, to hold a trace point to its table entry.
template <typename T>
struct TraceArgKindOf;
template <>
struct TraceArgKindOf<uint32_t> {
    static constexpr TraceArgKind kKind = TraceArgKind::kU32;
};
template <>
struct TraceArgKindOf<TraceU16> {
    static constexpr TraceArgKind kKind = TraceArgKind::kU16Text;
};
template <>
struct TraceArgKindOf<TraceNarrow> {
    static constexpr TraceArgKind kKind = TraceArgKind::kNarrowText;
};

template <const TraceEventDef& Event, typename... Args>
constexpr bool TraceArgsMatch() {
    if (sizeof...(Args) != Event.argCount)
        return false;
    constexpr TraceArgKind kinds[] = {TraceArgKindOf<Args>::kKind..., TraceArgKind::kU32};
    for (size_t i = 0; i < sizeof...(Args); ++i) {
        if (kinds[i] != Event.args[i].kind)
            return false;
    }
    return true;
}

class TraceProvider {
  public:
    // `eventLog` null: the table's Event Log events are only traced (the consoles).
    explicit TraceProvider(TraceBackEnd* backEnd, EventLogWriter* eventLog = nullptr)
        : m_backEnd(backEnd), m_eventLog(eventLog) {}

    // Registers the provider; the registration handle goes into the record.
    void Start();
    // Unregisters when registered and clears the handle; later events are dropped.
    void Stop();

    // The trace point rule: registered, TRACE_FLAG_GENERAL enabled, level high enough.
    bool Enabled(uint8_t level) const;

    // One event of the table; the arguments must be the event's, in number and kind. It is
    // traced unless the table says kNotTraced, and written to the Event Log when the table
    // gives it an entry type.
    template <const TraceEventDef& Event, typename... Args>
    void Emit(const Args&... args) {
        static_assert(TraceArgsMatch<Event, Args...>(),
                      "trace arguments differ from the event's table entry");
        if constexpr (Event.level != kNotTraced)
            Emit(Event.module, Event.number, Event.level, args...);
        if constexpr (Event.eventLog.type != EventLogType::kNone) {
            if (m_eventLog && m_eventLog->IsOpen()) {
                std::array<TraceArg, sizeof...(Args)> encoded{{EncodeTraceArg(args)...}};
                m_eventLog->Write(Event, encoded.data(), encoded.size());
            }
        }
    }

    // The Event Log writer, or null.
    EventLogWriter* EventLog() { return m_eventLog; }

    // One event by module, number and level. Arguments: uint32_t, TraceU16, TraceNarrow (or any
    // type with an EncodeTraceArg overload); encoded only when the rule lets the event through.
    template <typename... Args>
    void Emit(TraceModule module, uint16_t number, uint8_t level, const Args&... args) {
        if (!Enabled(level))
            return;
        std::array<TraceArg, sizeof...(Args)> encoded{{EncodeTraceArg(args)...}};
        Send(module, number, level, encoded.data(), encoded.size());
    }

    TraceControlRecord& Record() { return m_record; }

  private:
    void Send(TraceModule module, uint16_t number, uint8_t level, const TraceArg* args,
              size_t count);

    TraceBackEnd* m_backEnd;
    EventLogWriter* m_eventLog;
    TraceControlRecord m_record;
};

}  // namespace tav::portsvc
