#pragma once
// The provider's control state and its control callback. The callback runs on a thread of
// the tracing system while trace points on other threads read the record: each field is
// an atomic read once per trace point, and a stale read only emits or drops one event.

#include <atomic>
#include <cstdint>

#include "shared/win/trace.h"

namespace tav::portsvc {

struct TraceControlRecord {
    std::atomic<uint64_t> logger{0};
    std::atomic<uint8_t> level{0};
    std::atomic<uint32_t> flags{0};
    std::atomic<uint64_t> registration{0};
};

// What an enable request carries (GetTraceLoggerHandle, GetTraceEnableLevel and
// GetTraceEnableFlags of the request buffer); read only for an enable request.
class TraceEnableRequest {
  public:
    virtual ~TraceEnableRequest() = default;
    virtual uint64_t LoggerHandle() = 0;
    virtual uint8_t EnableLevel() = 0;
    virtual uint32_t EnableFlags() = 0;
};

// The control request: enable stores the logger, level and flags, disable clears them,
// any other request returns ERROR_INVALID_PARAMETER. The reply size is always 0.
[[nodiscard]] uint32_t HandleTraceControl(uint32_t requestCode, TraceControlRecord& record,
                                          uint32_t* replySize, TraceEnableRequest& request);

// HandleTraceControl at the boundary of the tracing system's callback: a request that fails
// unexpectedly leaves tracing off and answers ERROR_INVALID_PARAMETER, reply size 0.
[[nodiscard]] uint32_t TraceControlCallback(uint32_t requestCode, TraceControlRecord& record,
                                            uint32_t* replySize,
                                            TraceEnableRequest& request) noexcept;

}  // namespace tav::portsvc
