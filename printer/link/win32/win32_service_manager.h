#pragma once
// ServiceManager over the service control manager (advapi32): one Windows call per method.

#include "printer/link/service_manager.h"

namespace tav::setup {

class Win32ServiceManager : public ServiceManager {
  public:
    Handle OpenManager(const char16_t* machineName, const char16_t* databaseName,
                       uint32_t access) override;
    Handle OpenNamedService(Handle manager, const char16_t* serviceName, uint32_t access) override;
    int QueryServiceStatus(Handle service, win::ServiceStatus& status) override;
    int StartNamedService(Handle service) override;
    int ControlService(Handle service, uint32_t control, win::ServiceStatus& status) override;
    int CloseServiceHandle(Handle handle) override;
};

}  // namespace tav::setup
