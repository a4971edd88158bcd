#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <evntrace.h>
#include <wmistr.h>

#include "portlink/core/trace_control.h"
#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

namespace {

// What an enable request's buffer carries, read through the tracing calls.
class Win32EnableRequest : public TraceEnableRequest {
  public:
    explicit Win32EnableRequest(PVOID buffer) : m_buffer(buffer) {}
    uint64_t LoggerHandle() override { return ::GetTraceLoggerHandle(m_buffer); }
    uint8_t EnableLevel() override {
        return ::GetTraceEnableLevel(::GetTraceLoggerHandle(m_buffer));
    }
    uint32_t EnableFlags() override {
        return ::GetTraceEnableFlags(::GetTraceLoggerHandle(m_buffer));
    }

  private:
    PVOID m_buffer;
};

ULONG WINAPI ControlCallback(WMIDPREQUESTCODE requestCode, PVOID context, ULONG* bufferSize,
                             PVOID buffer) noexcept {
    Win32EnableRequest request(buffer);
    uint32_t replySize = 0;
    uint32_t result =
        TraceControlCallback(static_cast<uint32_t>(requestCode),
                             *static_cast<TraceControlRecord*>(context), &replySize, request);
    if (bufferSize)
        *bufferSize = replySize;
    return result;
}

GUID g_controlGuid;

}  // namespace

uint32_t Win32TraceBackEnd::RegisterProvider(const Guid& controlGuid, TraceControlRecord* record,
                                             uint64_t* registration) {
    g_controlGuid = ToWin32Guid(controlGuid);
    TRACE_GUID_REGISTRATION guidRegistration{&g_controlGuid, nullptr};
    TRACEHANDLE handle = 0;
    ULONG status = ::RegisterTraceGuidsW(ControlCallback, record, &g_controlGuid, 1,
                                         &guidRegistration, nullptr, nullptr, &handle);
    *registration = handle;
    return status;
}

uint32_t Win32TraceBackEnd::Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                                    uint16_t number, uint8_t /*level*/, const TraceArg* a,
                                    size_t count) {
    GUID guid = ToWin32Guid(messageGuid);
    void* end = nullptr;
    switch (count) {
        case 0:
            return ::TraceMessage(logger, messageFlags, &guid, number, end);
        case 1:
            return ::TraceMessage(logger, messageFlags, &guid, number, a[0].data, size_t{a[0].size},
                                  end);
        case 2:
            return ::TraceMessage(logger, messageFlags, &guid, number, a[0].data, size_t{a[0].size},
                                  a[1].data, size_t{a[1].size}, end);
        case 3:
            return ::TraceMessage(logger, messageFlags, &guid, number, a[0].data, size_t{a[0].size},
                                  a[1].data, size_t{a[1].size}, a[2].data, size_t{a[2].size}, end);
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

uint32_t Win32TraceBackEnd::UnregisterProvider(uint64_t registration) {
    return ::UnregisterTraceGuids(registration);
}

}  // namespace tav::portsvc
