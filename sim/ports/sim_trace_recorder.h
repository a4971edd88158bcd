#pragma once
// The tracing system as the service sees it: registration of the provider, one trace
// session that enables the provider's control GUID and sends requests to its control
// callback, and every message decoded through the build's decoding files (trace/tmf)
// and kept with its module, number, level, exact argument bytes and text. Like a real
// session it decodes only the message GUIDs it knows and expects only events within the
// level and flags it enabled; anything else is kept apart as undecodable.

#include <mutex>
#include <string>
#include <vector>

#include "portlink/core/trace_back_end.h"
#include "portlink/core/trace_control.h"
#include "portlink/core/trace_provider.h"
#include "sim/call_log.h"
#include "sim/ports/sim_trace_format.h"

namespace tav::sim {

struct TracedEvent {
    portsvc::TraceModule module;
    uint16_t number;
    uint8_t level;
    uint64_t logger;
    uint32_t messageFlags;
    std::vector<std::vector<uint8_t>> args;
    std::string text;  // as the decoding file renders it
};

// A message the session could not decode or did not ask for, and why.
struct UndecodableEvent {
    std::string messageGuid;
    uint16_t number;
    std::string reason;
};

class SimTraceRecorder : public portsvc::TraceBackEnd {
  public:
    explicit SimTraceRecorder(SimTrace& trace) : m_trace(trace) {}

    // The session enables the provider's control GUID (request 4) or disables it
    // (request 5); any other request code is passed through. Returns the callback's
    // result, or ERROR_WMI_GUID_NOT_FOUND when no provider registered that control GUID.
    uint32_t Enable(uint8_t level, uint32_t flags, uint64_t logger = 0x7A11);
    uint32_t Disable();
    uint32_t SendControl(uint32_t requestCode, uint32_t* replySize);

    bool Registered() const;
    // The decoded events, in order.
    std::vector<TracedEvent> Events() const;
    std::vector<UndecodableEvent> Undecodable() const;
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
    // Why the session would not deliver this message, or "" when it does.
    std::string RefusalOf(uint64_t logger, uint32_t messageFlags, uint8_t level,
                          const DecodedMessage& decoded) const;

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    portsvc::TraceControlRecord* m_record = nullptr;
    uint64_t m_registration = 0;
    std::string m_registeredControlGuid;
    // What the session enabled (0 when disabled).
    uint64_t m_sessionLogger = 0;
    uint8_t m_sessionLevel = 0;
    uint32_t m_sessionFlags = 0;
    std::vector<TracedEvent> m_events;
    std::vector<UndecodableEvent> m_undecodable;
    int m_enableFieldReads = 0;
};

// Bytes of a TraceArg-style little-endian value, for comparing recorded arguments.
std::vector<uint8_t> Le32(uint32_t value);
std::vector<uint8_t> NarrowBytes(const char* text);

}  // namespace tav::sim
