#pragma once
// The Application log as the service writes to it: RegisterEventSourceW,
// ReportEventW, DeregisterEventSource, and FormatMessageW for an error code's text.
// Failures leave the reason in the thread's last error, as Windows does.

#include <cstdint>
#include <string>

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class EventLogApi {
  public:
    virtual ~EventLogApi() = default;

    // RegisterEventSourceW(local computer, source): the handle, or kNoHandle. Windows gives a
    // handle for a source that is not registered too; its entries then show no text.
    [[nodiscard]] virtual PlatformHandle RegisterSource(const char16_t* source) = 0;
    // ReportEventW(source, type, category 0, messageId, no user, count, no data, strings).
    [[nodiscard]] virtual bool Report(PlatformHandle source, uint16_t type, uint32_t messageId,
                                      const char16_t* const* strings, uint16_t count) = 0;
    // DeregisterEventSource.
    virtual bool DeregisterSource(PlatformHandle source) = 0;
    // FormatMessageW(FROM_SYSTEM | IGNORE_INSERTS) for a Win32 error code, without its line
    // end; empty when the system has no text for it.
    virtual std::u16string ErrorText(uint32_t error) = 0;
};

}  // namespace tav::portsvc
