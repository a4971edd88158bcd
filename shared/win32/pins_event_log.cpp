// Pins shared/win/event_log.h to the SDK's values.
#include <windows.h>

#include "shared/win/event_log.h"

namespace tav::win {

static_assert(kEventlogSuccess == EVENTLOG_SUCCESS, "EVENTLOG_SUCCESS");
static_assert(kEventlogErrorType == EVENTLOG_ERROR_TYPE, "EVENTLOG_ERROR_TYPE");
static_assert(kEventlogWarningType == EVENTLOG_WARNING_TYPE, "EVENTLOG_WARNING_TYPE");
static_assert(kEventlogInformationType == EVENTLOG_INFORMATION_TYPE, "EVENTLOG_INFORMATION_TYPE");
static_assert(kEventlogAuditSuccess == EVENTLOG_AUDIT_SUCCESS, "EVENTLOG_AUDIT_SUCCESS");
static_assert(kEventlogAuditFailure == EVENTLOG_AUDIT_FAILURE, "EVENTLOG_AUDIT_FAILURE");

}  // namespace tav::win
