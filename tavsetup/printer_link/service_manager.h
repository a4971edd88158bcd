#pragma once
// The service control manager of the local machine, as the transport and the exit sequence
// need it. Results are Windows' own: handles (kNoHandle on failure), TRUE/FALSE with the
// thread's last error, SERVICE_* state numbers.

#include <cstdint>

#include "tavsetup/printer_link/platform.h"

namespace tav {

// SC_MANAGER_ALL_ACCESS, SERVICE_* (own names: the Windows ones are macros).
inline constexpr uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;
inline constexpr uint32_t kServiceControlStop = 1;

inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;

inline constexpr char16_t kSpoolerServiceName[] = u"Spooler";
inline constexpr char16_t kLpdServiceName[] =
    u"Lpdsvc";  // the LPD print service, needs the Spooler

// SERVICE_STATUS.
struct ServiceStatus {
    uint32_t serviceType = 0;
    uint32_t currentState = 0;
    uint32_t controlsAccepted = 0;
    uint32_t win32ExitCode = 0;
    uint32_t serviceSpecificExitCode = 0;
    uint32_t checkPoint = 0;
    uint32_t waitHint = 0;
};

class ServiceManager {
  public:
    virtual ~ServiceManager() = default;

    // OpenSCManagerW(machine (null: local), database, access).
    virtual Handle OpenManager(const char16_t* machineName, const char16_t* databaseName,
                               uint32_t access) = 0;
    // OpenServiceW(manager, name, access).
    virtual Handle OpenNamedService(Handle manager, const char16_t* serviceName,
                                    uint32_t access) = 0;
    virtual int QueryServiceStatus(Handle service, ServiceStatus& status) = 0;
    // StartServiceW without arguments.
    virtual int StartNamedService(Handle service) = 0;
    virtual int ControlService(Handle service, uint32_t control, ServiceStatus& status) = 0;
    virtual int CloseServiceHandle(Handle handle) = 0;
};

}  // namespace tav
