// Starting or stopping one service and waiting, for a bounded time, for the target state.

#include <algorithm>

#include "printer/link/owned_handles.h"
#include "printer/link/printer_link.h"
#include "printer/link/service_manager.h"

namespace tav::setup {
namespace {

constexpr uint32_t kServiceQueryAccess =
    win::kServiceQueryStatus | win::kServiceStart | win::kServiceStop;
constexpr uint32_t kLongestPollPauseMs = 500;

// The pause between status queries: the service's wait hint, at most 500 ms, and at least
// 1 ms so that a service without a hint still lets time pass.
uint32_t PollPause(const win::ServiceStatus& status) {
    return std::max<uint32_t>(1, std::min(status.waitHint, kLongestPollPauseMs));
}

int WaitForServiceState(PrinterPlatform& sys, Handle service, uint32_t target) {
    const uint32_t note = sys.clock.TickCount();
    win::ServiceStatus status;
    for (;;) {
        if (!sys.services.QueryServiceStatus(service, status))
            return 0;
        if (status.currentState == target)
            return 1;
        if (ElapsedMs(note, sys.clock.TickCount()) >= kServiceStateWaitMs)
            return 0;
        sys.clock.Sleep(PollPause(status));
    }
}

// Asks for the change when the service is in the opposite settled state; false otherwise.
bool RequestChange(ServiceManager& services, Handle service, int bStart,
                   const win::ServiceStatus& status) {
    if (bStart && status.currentState == win::kServiceStopped)
        return services.StartNamedService(service) != 0;
    if (!bStart && status.currentState == win::kServiceRunning) {
        win::ServiceStatus after;
        return services.ControlService(service, win::kServiceControlStop, after) != 0;
    }
    return false;
}

}  // namespace

int QueryServiceState(PrinterPlatform& sys, const char16_t* serviceName, uint32_t* state) {
    ServiceManager& services = sys.services;
    UniqueServiceHandle manager(
        services, services.OpenManager(nullptr, u"ServicesActive", win::kScManagerConnect));
    if (manager.get() == win::kNoHandle)
        return 0;
    UniqueServiceHandle service(
        services, services.OpenNamedService(manager.get(), serviceName, win::kServiceQueryStatus));
    if (service.get() == win::kNoHandle)
        return 0;
    win::ServiceStatus status;
    if (!services.QueryServiceStatus(service.get(), status))
        return 0;
    *state = status.currentState;
    return 1;
}

int ChangeServiceState(PrinterPlatform& sys, int bStart, const char16_t* serviceName) {
    ServiceManager& services = sys.services;
    UniqueServiceHandle manager(
        services, services.OpenManager(nullptr, u"ServicesActive", win::kScManagerAllAccess));
    if (manager.get() == win::kNoHandle)
        return 0;
    UniqueServiceHandle service(
        services, services.OpenNamedService(manager.get(), serviceName, kServiceQueryAccess));
    if (service.get() == win::kNoHandle)
        return 0;
    win::ServiceStatus status;
    if (!services.QueryServiceStatus(service.get(), status))
        return 0;
    if (!RequestChange(services, service.get(), bStart, status))
        return 0;
    return WaitForServiceState(sys, service.get(),
                               bStart ? win::kServiceRunning : win::kServiceStopped);
}

}  // namespace tav::setup
