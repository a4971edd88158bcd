#pragma once
// The service's trace provider: registration, the trace point rule and the argument
// encodings. A trace point tests the rule (registered, flag 1, level) before it computes
// any argument length, so a disabled trace point costs only that test.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "shared/guid.h"
#include "shared/win/trace.h"
#include "tavportsvc/core/trace_back_end.h"
#include "tavportsvc/core/trace_control.h"

namespace tav::portsvc {

// {6F2D8B14-C3A7-4E95-B0D2-7A41E9C6F538}
inline constexpr Guid kTraceControlGuid = {
    0x6F2D8B14, 0xC3A7, 0x4E95, {0xB0, 0xD2, 0x7A, 0x41, 0xE9, 0xC6, 0xF5, 0x38}};
// Message GUID of the service module (reconcile pass, device event loop).
inline constexpr Guid kServiceModuleMessageGuid = {
    0x2B9E4F71, 0xD8C5, 0x4A02, {0x8E, 0x63, 0xC1, 0x5F, 0x0A, 0x7B, 0x94, 0xD2}};
// Message GUID of the device module (interface walk, port installer).
inline constexpr Guid kDeviceModuleMessageGuid = {
    0x9A7C31E6, 0xE4B8, 0x4D57, {0xA1, 0xF9, 0x3C, 0x62, 0xD0, 0x8E, 0x5B, 0x17}};

inline constexpr uint32_t kTraceFlagGeneral = 1;
inline constexpr uint32_t kTraceMessageFlags = win::kTraceMessageSequence | win::kTraceMessageGuid |
                                               win::kTraceMessageTimestamp |
                                               win::kTraceMessageSystemInfo;

enum class TraceModule { kService, kDevice };

// Event numbers, by module.
namespace service_event {
inline constexpr uint16_t kCreateLinkKeyFailed = 10;
inline constexpr uint16_t kSetLinkValueFailed = 11;
inline constexpr uint16_t kPortDevInfoFailed = 12;
inline constexpr uint16_t kPortKeyOpenFailed = 13;
inline constexpr uint16_t kPortLinkUnreadable = 14;
inline constexpr uint16_t kStopLockWaitFailed = 15;
inline constexpr uint16_t kProgramFilesNotFound = 16;
inline constexpr uint16_t kLockWaitFailed = 19;
inline constexpr uint16_t kUtilityRunning = 20;
inline constexpr uint16_t kUtilityMutexOpenFailed = 21;
inline constexpr uint16_t kLinkPrinter = 22;
inline constexpr uint16_t kNoFreePort = 23;
inline constexpr uint16_t kStillNoFreePort = 24;
// Not a numbered event of the provider's table: a printer path too long to be read back
// from a link is left unlinked (number 25, error level, the path).
inline constexpr uint16_t kPrinterPathTooLong = 25;
}  // namespace service_event
namespace device_event {
inline constexpr uint16_t kEnumerationFailed = 10;
inline constexpr uint16_t kUpdateDriverStarting = 11;
inline constexpr uint16_t kUpdateDriverDone = 12;
inline constexpr uint16_t kInfPathInvalid = 13;
inline constexpr uint16_t kHardwareIdTooLong = 14;
inline constexpr uint16_t kInfClassFailed = 15;
inline constexpr uint16_t kCreateInfoListFailed = 16;
inline constexpr uint16_t kCreateDeviceInfoFailed = 17;
inline constexpr uint16_t kSetHardwareIdFailed = 18;
inline constexpr uint16_t kRegisterDeviceFailed = 19;
}  // namespace device_event

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

class TraceProvider {
  public:
    explicit TraceProvider(TraceBackEnd* backEnd) : m_backEnd(backEnd) {}

    // Registers the provider; the registration handle goes into the record.
    void Start();
    // Unregisters when registered and clears the handle; later events are dropped.
    void Stop();

    // The trace point rule: registered, TRACE_FLAG_GENERAL enabled, level high enough.
    bool Enabled(uint8_t level) const;

    // One event. Arguments: uint32_t, TraceU16, TraceNarrow (or any type with an
    // EncodeTraceArg overload); encoded only when the rule lets the event through.
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
    TraceControlRecord m_record;
};

}  // namespace tav::portsvc
