#pragma once
// The tracing system as the service sees it: registration of the provider, enable and
// disable requests sent to its control callback, and every message kept with its module,
// number, level and exact argument bytes.

#include <mutex>
#include <vector>

#include "sim/call_log.h"
#include "tavportsvc/core/trace_back_end.h"
#include "tavportsvc/core/trace_control.h"
#include "tavportsvc/core/trace_provider.h"

namespace tav::sim {

struct TracedEvent {
    portsvc::TraceModule module;
    uint16_t number;
    uint8_t level;
    uint64_t logger;
    uint32_t messageFlags;
    std::vector<std::vector<uint8_t>> args;
};

class SimTraceRecorder : public portsvc::TraceBackEnd {
  public:
    explicit SimTraceRecorder(SimTrace& trace) : m_trace(trace) {}

    // A logger enables the registered provider (request 4) or disables it (request 5);
    // any other request code is passed through. Returns the callback's result.
    uint32_t Enable(uint8_t level, uint32_t flags, uint64_t logger = 0x7A11);
    uint32_t Disable();
    uint32_t SendControl(uint32_t requestCode, uint32_t* replySize);

    bool Registered() const;
    std::vector<TracedEvent> Events() const;
    // Numbers of the events of one module, in order.
    std::vector<uint16_t> Numbers(portsvc::TraceModule module) const;
    void ClearEvents();
    // Enable-request fields the control callback read (to prove it reads only on enable).
    int EnableFieldReads() const;

    uint32_t RegisterProvider(const Guid& controlGuid, portsvc::TraceControlRecord* record,
                              uint64_t* registration) override;
    uint32_t Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                     uint16_t number, uint8_t level, const portsvc::TraceArg* args,
                     size_t count) override;
    uint32_t UnregisterProvider(uint64_t registration) override;

  private:
    uint32_t Control(uint32_t requestCode, uint8_t level, uint32_t flags, uint64_t logger,
                     uint32_t* replySize);

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    portsvc::TraceControlRecord* m_record = nullptr;
    uint64_t m_registration = 0;
    std::vector<TracedEvent> m_events;
    int m_enableFieldReads = 0;
};

// Bytes of a TraceArg-style little-endian value, for comparing recorded arguments.
std::vector<uint8_t> Le32(uint32_t value);
std::vector<uint8_t> NarrowBytes(const char* text);

}  // namespace tav::sim
