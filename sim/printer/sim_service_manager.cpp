#include "sim/printer/sim_service_manager.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
namespace {

constexpr uint32_t kErrorDependentServicesRunning = 1051;
constexpr int64_t kLongAgo = -(int64_t{1} << 40);

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

}  // namespace

SimServiceManager::SimServiceManager(VirtualClock& clock, SimTrace& trace)
    : m_clock(clock), m_trace(trace) {}

void SimServiceManager::AddService(const std::u16string& name, SimServiceConfig config) {
    Service service;
    service.config = std::move(config);
    service.runningSince = kLongAgo;
    m_services[name] = std::move(service);
}

SimServiceConfig& SimServiceManager::Config(const std::u16string& name) {
    return m_services.at(name).config;
}

uint32_t SimServiceManager::State(const std::u16string& name) const {
    auto it = m_services.find(name);
    return it == m_services.end() ? 0 : it->second.config.state;
}

std::optional<uint64_t> SimServiceManager::RunningForMs(const std::u16string& name) const {
    auto it = m_services.find(name);
    if (it == m_services.end() || it->second.config.state != win::kServiceRunning)
        return std::nullopt;
    return static_cast<uint64_t>(static_cast<int64_t>(m_clock.Elapsed()) - it->second.runningSince);
}

Handle SimServiceManager::OpenManager(const char16_t*, const char16_t*, uint32_t) {
    if (auto error = m_trace.Enter("OpenSCManagerW"))
        return Fail(*error);
    const Handle handle = m_nextHandle++;
    m_handles[handle] = u"";
    return handle;
}

Handle SimServiceManager::OpenNamedService(Handle manager, const char16_t* serviceName, uint32_t) {
    const std::u16string name = serviceName ? serviceName : u"";
    if (auto error = m_trace.Enter("OpenServiceW", ToUtf8(name)))
        return Fail(*error);
    auto it = m_handles.find(manager);
    if (it == m_handles.end() || !it->second.empty())
        return Fail(win::kErrorInvalidHandle);
    if (!m_services.count(name))
        return Fail(win::kErrorServiceDoesNotExist);
    const Handle handle = m_nextHandle++;
    m_handles[handle] = name;
    return handle;
}

SimServiceManager::Service* SimServiceManager::ServiceOf(Handle handle, std::u16string* pName) {
    auto it = m_handles.find(handle);
    if (it == m_handles.end() || it->second.empty())
        return nullptr;
    *pName = it->second;
    return &m_services.at(it->second);
}

win::ServiceStatus SimServiceManager::StatusOf(const Service& service) const {
    win::ServiceStatus status;
    status.serviceType = 0x10;  // SERVICE_WIN32_OWN_PROCESS
    status.currentState = service.config.state;
    const bool pending = status.currentState == win::kServiceStartPending ||
                         status.currentState == win::kServiceStopPending;
    status.waitHint = pending ? service.config.waitHint : 0;
    return status;
}

int SimServiceManager::QueryServiceStatus(Handle service, win::ServiceStatus& status) {
    std::u16string name;
    Service* s = ServiceOf(service, &name);
    if (auto error = m_trace.Enter("QueryServiceStatus", ToUtf8(name)))
        return Fail(*error);
    if (!s)
        return Fail(win::kErrorInvalidHandle);
    status = StatusOf(*s);
    return 1;
}

// Moves the service to `state` after `delayMs` (at once for 0, never for kStaysPending).
void SimServiceManager::Settle(const std::u16string& name, uint32_t state, uint32_t delayMs) {
    Service& s = m_services.at(name);
    auto arrive = [this, name, state] {
        Service& target = m_services.at(name);
        target.config.state = state;
        target.scheduleId = 0;
        if (state == win::kServiceRunning)
            target.runningSince = static_cast<int64_t>(m_clock.Elapsed());
    };
    if (delayMs == 0) {
        arrive();
    } else if (delayMs != kStaysPending) {
        s.scheduleId = m_clock.Schedule(delayMs, arrive);
    }
}

// Starts the service and, as the manager does, the services it depends on first.
void SimServiceManager::BeginStart(const std::u16string& name) {
    Service& s = m_services.at(name);
    for (const auto& dependency : s.config.dependsOn) {
        if (m_services.count(dependency) && State(dependency) == win::kServiceStopped)
            BeginStart(dependency);
    }
    s.config.state = win::kServiceStartPending;
    Settle(name, win::kServiceRunning, s.config.startDelayMs);
}

int SimServiceManager::StartNamedService(Handle service) {
    std::u16string name;
    Service* s = ServiceOf(service, &name);
    if (auto error = m_trace.Enter("StartServiceW", ToUtf8(name)))
        return Fail(*error);
    if (!s)
        return Fail(win::kErrorInvalidHandle);
    if (s->config.refuseStart)
        return Fail(s->config.refuseStart);
    if (s->config.state != win::kServiceStopped)
        return Fail(win::kErrorServiceAlreadyRunning);
    BeginStart(name);
    return 1;
}

bool SimServiceManager::DependentRunning(const std::u16string& name) const {
    for (const auto& [other, s] : m_services) {
        if (s.config.state == win::kServiceStopped)
            continue;
        for (const auto& dependency : s.config.dependsOn) {
            if (dependency == name)
                return true;
        }
    }
    return false;
}

int SimServiceManager::ControlService(Handle service, uint32_t control,
                                      win::ServiceStatus& status) {
    std::u16string name;
    Service* s = ServiceOf(service, &name);
    if (auto error = m_trace.Enter("ControlService", ToUtf8(name) + " " + std::to_string(control)))
        return Fail(*error);
    if (!s)
        return Fail(win::kErrorInvalidHandle);
    if (control != win::kServiceControlStop)
        return Fail(win::kErrorInvalidParameter);
    if (s->config.refuseStop)
        return Fail(s->config.refuseStop);
    if (s->config.state != win::kServiceRunning)
        return Fail(win::kErrorServiceNotActive);
    if (DependentRunning(name))
        return Fail(kErrorDependentServicesRunning);
    s->config.state = win::kServiceStopPending;
    Settle(name, win::kServiceStopped, s->config.stopDelayMs);
    status = StatusOf(m_services.at(name));
    return 1;
}

int SimServiceManager::CloseServiceHandle(Handle handle) {
    auto it = m_handles.find(handle);
    const std::string what = it == m_handles.end() ? "invalid"
                             : it->second.empty()  ? "manager"
                                                   : ToUtf8(it->second);
    if (auto error = m_trace.Enter("CloseServiceHandle", what))
        return Fail(*error);
    if (it == m_handles.end())
        return Fail(win::kErrorInvalidHandle);
    m_handles.erase(it);
    return 1;
}

}  // namespace tav::sim
