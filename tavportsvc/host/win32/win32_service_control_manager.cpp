#include <windows.h>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {
namespace {

SC_HANDLE AsSc(ScHandle handle) {
    return reinterpret_cast<SC_HANDLE>(handle);
}

ScHandle Result(SC_HANDLE handle, uint32_t& error) {
    error = handle ? 0 : ::GetLastError();
    return reinterpret_cast<ScHandle>(handle);
}

// A double-NUL-terminated list of names.
std::u16string MultiString(const std::vector<std::u16string>& names) {
    std::u16string list;
    for (const auto& name : names) {
        list += name;
        list += u'\0';
    }
    list += u'\0';
    return list;
}

}  // namespace

ScHandle Win32ServiceControlManager::OpenManager(uint32_t access, uint32_t& error) {
    return Result(::OpenSCManagerW(nullptr, SERVICES_ACTIVE_DATABASEW, access), error);
}

ScHandle Win32ServiceControlManager::OpenServiceEntry(ScHandle manager, const std::u16string& name,
                                                      uint32_t access, uint32_t& error) {
    return Result(::OpenServiceW(AsSc(manager), AsWide(name), access), error);
}

ScHandle Win32ServiceControlManager::CreateServiceEntry(ScHandle manager,
                                                        const ServiceConfig& config,
                                                        uint32_t& error) {
    const std::u16string dependencies = MultiString(config.dependencies);
    return Result(::CreateServiceW(AsSc(manager), AsWide(config.name), AsWide(config.displayName),
                                   config.desiredAccess, config.serviceType, config.startType,
                                   config.errorControl, AsWide(config.imagePath), nullptr, nullptr,
                                   AsWide(dependencies), nullptr, nullptr),
                  error);
}

bool Win32ServiceControlManager::SetDescription(ScHandle service,
                                                const std::u16string& description) {
    std::u16string text = description;
    SERVICE_DESCRIPTIONW info = {const_cast<wchar_t*>(AsWide(text))};
    return ::ChangeServiceConfig2W(AsSc(service), SERVICE_CONFIG_DESCRIPTION, &info) != FALSE;
}

uint32_t Win32ServiceControlManager::ControlStop(ScHandle service) {
    SERVICE_STATUS status = {};
    return ::ControlService(AsSc(service), SERVICE_CONTROL_STOP, &status) ? 0 : ::GetLastError();
}

uint32_t Win32ServiceControlManager::QueryState(ScHandle service, uint32_t& state) {
    SERVICE_STATUS status = {};
    BOOL ok = ::QueryServiceStatus(AsSc(service), &status);
    state = status.dwCurrentState;
    return ok ? 0 : ::GetLastError();
}

uint32_t Win32ServiceControlManager::DeleteService(ScHandle service) {
    return ::DeleteService(AsSc(service)) ? 0 : ::GetLastError();
}

void Win32ServiceControlManager::Close(ScHandle handle) {
    ::CloseServiceHandle(AsSc(handle));
}

}  // namespace tav::portsvc::host
