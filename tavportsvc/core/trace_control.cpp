#include "tavportsvc/core/trace_control.h"

#include "shared/callback_boundary.h"
#include "shared/win32_errors.h"

namespace tav {

uint32_t HandleTraceControl(uint32_t requestCode, TraceControlRecord& record, uint32_t* replySize,
                            TraceEnableRequest& request) {
    if (replySize)
        *replySize = 0;
    switch (requestCode) {
        case kWmiEnableEvents:
            record.logger.store(request.LoggerHandle(), std::memory_order_relaxed);
            record.level.store(request.EnableLevel(), std::memory_order_relaxed);
            record.flags.store(request.EnableFlags(), std::memory_order_relaxed);
            return kErrorSuccess;
        case kWmiDisableEvents:
            record.logger.store(0, std::memory_order_relaxed);
            record.level.store(0, std::memory_order_relaxed);
            record.flags.store(0, std::memory_order_relaxed);
            return kErrorSuccess;
        default:
            return kErrorInvalidParameter;
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
            return kErrorInvalidParameter;
        });
}

}  // namespace tav
