// Pins shared/win/trace.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <evntrace.h>
#include <wmistr.h>

#include "shared/win/trace.h"

namespace tav::win {

static_assert(kWmiEnableEvents == WMI_ENABLE_EVENTS, "WMI_ENABLE_EVENTS");
static_assert(kWmiDisableEvents == WMI_DISABLE_EVENTS, "WMI_DISABLE_EVENTS");
static_assert(kTraceLevelError == TRACE_LEVEL_ERROR, "TRACE_LEVEL_ERROR");
static_assert(kTraceLevelInformation == TRACE_LEVEL_INFORMATION, "TRACE_LEVEL_INFORMATION");
static_assert(kTraceMessageSequence == TRACE_MESSAGE_SEQUENCE, "TRACE_MESSAGE_SEQUENCE");
static_assert(kTraceMessageGuid == TRACE_MESSAGE_GUID, "TRACE_MESSAGE_GUID");
static_assert(kTraceMessageTimestamp == TRACE_MESSAGE_TIMESTAMP, "TRACE_MESSAGE_TIMESTAMP");
static_assert(kTraceMessageSystemInfo == TRACE_MESSAGE_SYSTEMINFO, "TRACE_MESSAGE_SYSTEMINFO");

}  // namespace tav::win
