#include "printer/link/win32/win32_service_manager.h"

#include <windows.h>

#include "shared/win32/wide.h"

namespace tav::setup {
namespace {

SC_HANDLE AsSc(Handle handle) {
    return reinterpret_cast<SC_HANDLE>(handle);
}
Handle FromSc(SC_HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

win::ServiceStatus FromNative(const SERVICE_STATUS& native) {
    win::ServiceStatus status;
    status.serviceType = native.dwServiceType;
    status.currentState = native.dwCurrentState;
    status.controlsAccepted = native.dwControlsAccepted;
    status.win32ExitCode = native.dwWin32ExitCode;
    status.serviceSpecificExitCode = native.dwServiceSpecificExitCode;
    status.checkPoint = native.dwCheckPoint;
    status.waitHint = native.dwWaitHint;
    return status;
}

}  // namespace

Handle Win32ServiceManager::OpenManager(const char16_t* machineName, const char16_t* databaseName,
                                        uint32_t access) {
    return FromSc(::OpenSCManagerW(AsWide(machineName), AsWide(databaseName), access));
}

Handle Win32ServiceManager::OpenNamedService(Handle manager, const char16_t* serviceName,
                                             uint32_t access) {
    return FromSc(::OpenServiceW(AsSc(manager), AsWide(serviceName), access));
}

int Win32ServiceManager::QueryServiceStatus(Handle service, win::ServiceStatus& status) {
    SERVICE_STATUS native{};
    const BOOL ok = ::QueryServiceStatus(AsSc(service), &native);
    status = FromNative(native);
    return ok;
}

int Win32ServiceManager::StartNamedService(Handle service) {
    return ::StartServiceW(AsSc(service), 0, nullptr);
}

int Win32ServiceManager::ControlService(Handle service, uint32_t control,
                                        win::ServiceStatus& status) {
    SERVICE_STATUS native{};
    const BOOL ok = ::ControlService(AsSc(service), control, &native);
    status = FromNative(native);
    return ok;
}

int Win32ServiceManager::CloseServiceHandle(Handle handle) {
    return ::CloseServiceHandle(AsSc(handle));
}

}  // namespace tav::setup
