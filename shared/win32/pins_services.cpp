// Pins shared/win/services.h to the SDK's values.
#include <windows.h>

#include <cstddef>

#include "shared/win/services.h"

namespace tav::win {

static_assert(kScManagerConnect == SC_MANAGER_CONNECT, "SC_MANAGER_CONNECT");
static_assert(kScManagerAllAccess == SC_MANAGER_ALL_ACCESS, "SC_MANAGER_ALL_ACCESS");
static_assert(kServiceQueryConfig == SERVICE_QUERY_CONFIG, "SERVICE_QUERY_CONFIG");
static_assert(kServiceQueryStatus == SERVICE_QUERY_STATUS, "SERVICE_QUERY_STATUS");
static_assert(kServiceStart == SERVICE_START, "SERVICE_START");
static_assert(kServiceStop == SERVICE_STOP, "SERVICE_STOP");
static_assert(kServiceAllAccess == SERVICE_ALL_ACCESS, "SERVICE_ALL_ACCESS");
static_assert(kServiceWin32OwnProcess == SERVICE_WIN32_OWN_PROCESS, "SERVICE_WIN32_OWN_PROCESS");
static_assert(kServiceAutoStart == SERVICE_AUTO_START, "SERVICE_AUTO_START");
static_assert(kServiceErrorNormal == SERVICE_ERROR_NORMAL, "SERVICE_ERROR_NORMAL");
static_assert(kServiceStopped == SERVICE_STOPPED, "SERVICE_STOPPED");
static_assert(kServiceStartPending == SERVICE_START_PENDING, "SERVICE_START_PENDING");
static_assert(kServiceStopPending == SERVICE_STOP_PENDING, "SERVICE_STOP_PENDING");
static_assert(kServiceRunning == SERVICE_RUNNING, "SERVICE_RUNNING");
static_assert(kServiceControlStop == SERVICE_CONTROL_STOP, "SERVICE_CONTROL_STOP");
static_assert(kServiceControlInterrogate == SERVICE_CONTROL_INTERROGATE,
              "SERVICE_CONTROL_INTERROGATE");
static_assert(kServiceControlShutdown == SERVICE_CONTROL_SHUTDOWN, "SERVICE_CONTROL_SHUTDOWN");
static_assert(kServiceControlDeviceEvent == SERVICE_CONTROL_DEVICEEVENT,
              "SERVICE_CONTROL_DEVICEEVENT");
static_assert(kServiceControlPowerEvent == SERVICE_CONTROL_POWEREVENT,
              "SERVICE_CONTROL_POWEREVENT");
static_assert(kServiceAcceptStop == SERVICE_ACCEPT_STOP, "SERVICE_ACCEPT_STOP");
static_assert(kServiceAcceptShutdown == SERVICE_ACCEPT_SHUTDOWN, "SERVICE_ACCEPT_SHUTDOWN");
static_assert(kServiceAcceptPowerEvent == SERVICE_ACCEPT_POWEREVENT, "SERVICE_ACCEPT_POWEREVENT");

// SERVICE_STATUS, field for field.
static_assert(sizeof(ServiceStatus) == sizeof(SERVICE_STATUS), "SERVICE_STATUS size");
static_assert(offsetof(ServiceStatus, currentState) == offsetof(SERVICE_STATUS, dwCurrentState),
              "SERVICE_STATUS.dwCurrentState");
static_assert(offsetof(ServiceStatus, waitHint) == offsetof(SERVICE_STATUS, dwWaitHint),
              "SERVICE_STATUS.dwWaitHint");

}  // namespace tav::win
