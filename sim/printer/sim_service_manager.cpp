#include "sim/printer/sim_service_manager.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::setup;
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
    if (it == m_services.end() || it->second.config.state != sdk::kServiceRunning)
        return std::nullopt;
    return static_cast<uint64_t>(static_cast<int64_t>(m_clock.Elapsed()) - it->second.runningSince);
}

namespace {

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

// The local machine's active database only: a remote machine is never asked for by our
// code, so it is refused with 87.
uint32_t CheckDatabase(const char16_t* machineName, const char16_t* databaseName) {
    if (machineName && machineName[0] != 0)
        return sdk::kErrorInvalidParameter;
    if (!databaseName || EqualsNoCase(databaseName, u"ServicesActive"))
        return 0;
    return EqualsNoCase(databaseName, u"ServicesFailed") ? sdk::kErrorDatabaseDoesNotExist
                                                         : sdk::kErrorInvalidName;
}

}  // namespace

Handle SimServiceManager::OpenManager(const char16_t* machineName, const char16_t* databaseName,
                                      uint32_t access) {
    if (auto error = m_trace.Enter("OpenSCManagerW"))
        return Fail(*error);
    if (uint32_t error = CheckDatabase(machineName, databaseName))
        return Fail(error);
    uint32_t granted = 0;
    if (uint32_t error = GrantManagerAccess(m_caller, access, granted))
        return Fail(error);
    const Handle handle = m_nextHandle++;
    m_handles[handle] = {u"", granted};
    return handle;
}

Handle SimServiceManager::OpenNamedService(Handle manager, const char16_t* serviceName,
                                           uint32_t access) {
    const std::u16string name = serviceName ? serviceName : u"";
    if (auto error = m_trace.Enter("OpenServiceW", ToUtf8(name)))
        return Fail(*error);
    auto it = m_handles.find(manager);
    if (it == m_handles.end() || !it->second.name.empty())
        return Fail(win::kErrorInvalidHandle);
    if (uint32_t error = CheckRight(it->second.access, ScOperation::kConnect))
        return Fail(error);
    if (!m_services.count(name))
        return Fail(win::kErrorServiceDoesNotExist);
    uint32_t granted = 0;
    if (uint32_t error = GrantServiceAccess(m_caller, access, granted))
        return Fail(error);
    const Handle handle = m_nextHandle++;
    m_handles[handle] = {name, granted};
    return handle;
}

SimServiceManager::Service* SimServiceManager::ServiceOf(Handle handle, std::u16string* pName) {
    auto it = m_handles.find(handle);
    if (it == m_handles.end() || it->second.name.empty())
        return nullptr;
    *pName = it->second.name;
    return &m_services.at(it->second.name);
}

SimServiceManager::Service* SimServiceManager::ServiceFor(Handle handle, ScOperation operation,
                                                          uint32_t& error) {
    std::u16string name;
    Service* service = ServiceOf(handle, &name);
    error = service ? CheckRight(m_handles.at(handle).access, operation) : win::kErrorInvalidHandle;
    return error == 0 ? service : nullptr;
}

win::ServiceStatus SimServiceManager::StatusOf(const Service& service) const {
    win::ServiceStatus status;
    status.serviceType = sdk::kServiceWin32OwnProcess;
    status.currentState = service.config.state;
    const bool pending = status.currentState == sdk::kServiceStartPending ||
                         status.currentState == sdk::kServiceStopPending;
    status.waitHint = pending ? service.config.waitHint : 0;
    return status;
}

int SimServiceManager::QueryServiceStatus(Handle service, win::ServiceStatus& status) {
    std::u16string name;
    ServiceOf(service, &name);
    if (auto error = m_trace.Enter("QueryServiceStatus", ToUtf8(name)))
        return Fail(*error);
    uint32_t error = 0;
    Service* s = ServiceFor(service, ScOperation::kQueryStatus, error);
    if (!s)
        return Fail(error);
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
        if (state == sdk::kServiceRunning)
            target.runningSince = static_cast<int64_t>(m_clock.Elapsed());
        if (onSettled)
            onSettled(name, state);
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
        if (m_services.count(dependency) && State(dependency) == sdk::kServiceStopped)
            BeginStart(dependency);
    }
    s.config.state = sdk::kServiceStartPending;
    Settle(name, sdk::kServiceRunning, s.config.startDelayMs);
}

int SimServiceManager::StartNamedService(Handle service) {
    std::u16string name;
    ServiceOf(service, &name);
    if (auto error = m_trace.Enter("StartServiceW", ToUtf8(name)))
        return Fail(*error);
    uint32_t error = 0;
    Service* s = ServiceFor(service, ScOperation::kStart, error);
    if (!s)
        return Fail(error);
    if (s->config.refuseStart)
        return Fail(s->config.refuseStart);
    if (s->config.state != sdk::kServiceStopped)
        return Fail(win::kErrorServiceAlreadyRunning);
    BeginStart(name);
    return 1;
}

bool SimServiceManager::DependentRunning(const std::u16string& name) const {
    for (const auto& [other, s] : m_services) {
        if (s.config.state == sdk::kServiceStopped)
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
    ServiceOf(service, &name);
    if (auto error = m_trace.Enter("ControlService", ToUtf8(name) + " " + std::to_string(control)))
        return Fail(*error);
    // Our code sends only SERVICE_CONTROL_STOP (1); other controls are refused with 87.
    if (control != sdk::kServiceControlStop)
        return Fail(sdk::kErrorInvalidParameter);
    uint32_t error = 0;
    Service* s = ServiceFor(service, ScOperation::kStop, error);
    if (!s)
        return Fail(error);
    if (s->config.refuseStop)
        return Fail(s->config.refuseStop);
    if (s->config.state != sdk::kServiceRunning)
        return Fail(win::kErrorServiceNotActive);
    if (DependentRunning(name))
        return Fail(kErrorDependentServicesRunning);
    s->config.state = sdk::kServiceStopPending;
    Settle(name, sdk::kServiceStopped, s->config.stopDelayMs);
    status = StatusOf(m_services.at(name));
    return 1;
}

int SimServiceManager::CloseServiceHandle(Handle handle) {
    auto it = m_handles.find(handle);
    const std::string what = it == m_handles.end()     ? "invalid"
                             : it->second.name.empty() ? "manager"
                                                       : ToUtf8(it->second.name);
    if (auto error = m_trace.Enter("CloseServiceHandle", what))
        return Fail(*error);
    if (it == m_handles.end())
        return Fail(win::kErrorInvalidHandle);
    m_handles.erase(it);
    return 1;
}

}  // namespace tav::sim
