#include "portlink/core/trace_control.h"

#include "shared/callback_boundary.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

uint32_t HandleTraceControl(uint32_t requestCode, TraceControlRecord& record, uint32_t* replySize,
                            TraceEnableRequest& request) {
    if (replySize)
        *replySize = 0;
    switch (requestCode) {
        case win::kWmiEnableEvents:
            record.logger.store(request.LoggerHandle(), std::memory_order_relaxed);
            record.level.store(request.EnableLevel(), std::memory_order_relaxed);
            record.flags.store(request.EnableFlags(), std::memory_order_relaxed);
            return win::kErrorSuccess;
        case win::kWmiDisableEvents:
            record.logger.store(0, std::memory_order_relaxed);
            record.level.store(0, std::memory_order_relaxed);
            record.flags.store(0, std::memory_order_relaxed);
            return win::kErrorSuccess;
        default:
            return win::kErrorInvalidParameter;
    }
}

uint32_t TraceControlCallback(uint32_t requestCode, TraceControlRecord& record, uint32_t* replySize,
                              TraceEnableRequest& request) noexcept {
    return AtCallbackBoundary(
        [&] { return HandleTraceControl(requestCode, record, replySize, request); },
        [&] {
            if (replySize)
                *replySize = 0;
            record.logger.store(0, std::memory_order_relaxed);
            record.level.store(0, std::memory_order_relaxed);
            record.flags.store(0, std::memory_order_relaxed);
            return win::kErrorInvalidParameter;
        });
}

}  // namespace tav::portsvc
