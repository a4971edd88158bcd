#include <windows.h>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {
namespace {

// The dispatcher's table entry takes a plain function; it reaches the module through these.
ServiceDispatcher::ServiceMainFn g_serviceMain = nullptr;
void* g_serviceContext = nullptr;

// The thunks only forward to the module's entries, which let nothing unwind.
void WINAPI ServiceMainThunk(DWORD, LPWSTR*) noexcept {
    g_serviceMain(g_serviceContext);
}

struct HandlerTarget {
    ServiceDispatcher::HandlerFn handler;
    void* context;
};
HandlerTarget g_handler = {};

DWORD WINAPI HandlerThunk(DWORD control, DWORD eventType, LPVOID eventData,
                          LPVOID context) noexcept {
    auto* target = static_cast<HandlerTarget*>(context);
    return target->handler(control, eventType, eventData, target->context);
}

}  // namespace

uint32_t Win32ServiceDispatcher::RunDispatcher(const std::u16string& name,
                                               ServiceMainFn serviceMain, void* context) {
    g_serviceMain = serviceMain;
    g_serviceContext = context;
    std::u16string serviceName = name;
    SERVICE_TABLE_ENTRYW table[] = {
        {const_cast<wchar_t*>(AsWide(serviceName)), ServiceMainThunk},
        {nullptr, nullptr},
    };
    return ::StartServiceCtrlDispatcherW(table) ? 0 : ::GetLastError();
}

StatusHandle Win32ServiceDispatcher::RegisterHandler(const std::u16string& name, HandlerFn handler,
                                                     void* context) {
    g_handler = {handler, context};
    return reinterpret_cast<StatusHandle>(
        ::RegisterServiceCtrlHandlerExW(AsWide(name), HandlerThunk, &g_handler));
}

bool Win32ServiceDispatcher::SetStatus(StatusHandle handle, const win::ServiceStatus& status) {
    SERVICE_STATUS record = {status.serviceType,
                             status.currentState,
                             status.controlsAccepted,
                             status.win32ExitCode,
                             status.serviceSpecificExitCode,
                             status.checkPoint,
                             status.waitHint};
    return ::SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &record) != FALSE;
}

uint32_t Win32ServiceDispatcher::CurrentThreadId() {
    return ::GetCurrentThreadId();
}

}  // namespace tav::portsvc::host
