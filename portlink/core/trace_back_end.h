#pragma once
// Where trace events go: Windows message tracing (RegisterTraceGuidsW, TraceMessage,
// UnregisterTraceGuids) or a recorder. The provider's control callback is portable
// (HandleTraceControl in trace_control.h); a back end calls it with the request.

#include <cstddef>
#include <cstdint>

#include "shared/guid.h"

namespace tav::portsvc {

struct TraceControlRecord;

// One argument of a message: a pointer and a byte length.
struct TraceArg {
    const void* data;
    uint32_t size;
};

class TraceBackEnd {
  public:
    virtual ~TraceBackEnd() = default;

    // RegisterTraceGuidsW(control callback, record as context, controlGuid, one trace GUID
    // registration for the control GUID, no MOF); the handle goes to *registration.
    // Returns the Win32 error code.
    virtual uint32_t RegisterProvider(const Guid& controlGuid, TraceControlRecord* record,
                                      uint64_t* registration) = 0;
    // TraceMessage(logger, messageFlags, messageGuid, number, args..., NULL). `level` is the
    // event's level, for back ends that keep it; Windows does not take it.
    virtual uint32_t Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                             uint16_t number, uint8_t level, const TraceArg* args,
                             size_t count) = 0;
    // UnregisterTraceGuids.
    virtual uint32_t UnregisterProvider(uint64_t registration) = 0;
};

}  // namespace tav::portsvc
