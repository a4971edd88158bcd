#pragma once
// The service control manager of the local machine, as the transport and the exit sequence
// need it. Results are Windows' own: handles (win::kNoHandle on failure), TRUE/FALSE with the
// thread's last error, SERVICE_* state numbers.

#include <cstdint>

#include "printer/link/platform.h"
#include "shared/win/services.h"

namespace tav::setup {

inline constexpr char16_t kSpoolerServiceName[] = u"Spooler";
inline constexpr char16_t kLpdServiceName[] =
    u"Lpdsvc";  // the LPD print service, needs the Spooler

class ServiceManager {
  public:
    virtual ~ServiceManager() = default;

    // OpenSCManagerW(machine (null: local), database, access).
    virtual Handle OpenManager(const char16_t* machineName, const char16_t* databaseName,
                               uint32_t access) = 0;
    // OpenServiceW(manager, name, access).
    virtual Handle OpenNamedService(Handle manager, const char16_t* serviceName,
                                    uint32_t access) = 0;
    virtual int QueryServiceStatus(Handle service, win::ServiceStatus& status) = 0;
    // StartServiceW without arguments.
    virtual int StartNamedService(Handle service) = 0;
    virtual int ControlService(Handle service, uint32_t control, win::ServiceStatus& status) = 0;
    virtual int CloseServiceHandle(Handle handle) = 0;
};

}  // namespace tav::setup
