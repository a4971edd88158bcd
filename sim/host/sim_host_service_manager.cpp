#include "sim/host/sim_host_service_manager.h"

#include <chrono>
#include <thread>

#include "shared/u16.h"
#include "sim/host/sim_thread_ids.h"

namespace tav::sim {
namespace {

constexpr uint32_t kErrorServiceCannotAcceptCtrl = 1061;
constexpr portsvc::host::StatusHandle kStatusHandle = 0x5151;
// Real-time bound on waits between test and simulated threads, so a fault cannot hang a test.
constexpr auto kRealTimeBound = std::chrono::seconds(20);

std::u16string Fold(const std::u16string& text) {
    std::u16string folded;
    for (char16_t c : text)
        folded += FoldCase(c);
    return folded;
}

}  // namespace

void SimHostServiceManager::SetCaller(SimCaller caller) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_caller = caller;
}

portsvc::host::ScHandle SimHostServiceManager::OpenManager(uint32_t access, uint32_t& error) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    error = 0;
    if (auto fault = m_trace.Enter("OpenSCManagerW", std::to_string(access))) {
        error = *fault;
        return 0;
    }
    uint32_t granted = 0;
    if ((error = GrantManagerAccess(m_caller, access, granted)) != 0)
        return 0;
    portsvc::host::ScHandle handle = m_nextHandle++;
    m_handles[handle] = {true, {}, granted};
    return handle;
}

uint32_t SimHostServiceManager::CheckManager(portsvc::host::ScHandle manager,
                                             ScOperation operation) const {
    auto it = m_handles.find(manager);
    if (it == m_handles.end() || !it->second.isManager)
        return win::kErrorInvalidHandle;
    return CheckRight(it->second.access, operation);
}

portsvc::host::ScHandle SimHostServiceManager::OpenServiceEntry(portsvc::host::ScHandle manager,
                                                                const std::u16string& name,
                                                                uint32_t access, uint32_t& error) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    error = 0;
    if (auto fault = m_trace.Enter("OpenServiceW", ToUtf8(name) + " " + std::to_string(access))) {
        error = *fault;
        return 0;
    }
    if ((error = CheckManager(manager, ScOperation::kConnect)) != 0)
        return 0;
    if (!m_services.count(Fold(name))) {
        error = win::kErrorServiceDoesNotExist;
        return 0;
    }
    uint32_t granted = 0;
    if ((error = GrantServiceAccess(m_caller, access, granted)) != 0)
        return 0;
    portsvc::host::ScHandle handle = m_nextHandle++;
    m_handles[handle] = {false, Fold(name), granted};
    return handle;
}

portsvc::host::ScHandle SimHostServiceManager::CreateServiceEntry(
    portsvc::host::ScHandle manager, const portsvc::host::ServiceConfig& config, uint32_t& error) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    error = 0;
    if (auto fault = m_trace.Enter("CreateServiceW", ToUtf8(config.name))) {
        error = *fault;
        return 0;
    }
    if ((error = CheckManager(manager, ScOperation::kCreateService)) != 0)
        return 0;
    uint32_t granted = 0;
    if ((error = GrantServiceAccess(m_caller, config.desiredAccess, granted)) != 0)
        return 0;
    auto existing = m_services.find(Fold(config.name));
    if (existing != m_services.end()) {
        error = existing->second.markedForDelete ? sdk::kErrorServiceMarkedForDelete
                                                 : win::kErrorServiceExists;
        return 0;
    }
    m_services[Fold(config.name)] = {config, {}, sdk::kServiceStopped, false};
    portsvc::host::ScHandle handle = m_nextHandle++;
    m_handles[handle] = {false, Fold(config.name), granted};
    return handle;
}

SimHostServiceManager::Entry* SimHostServiceManager::EntryOf(portsvc::host::ScHandle handle) {
    auto it = m_handles.find(handle);
    if (it == m_handles.end() || it->second.isManager)
        return nullptr;
    auto entry = m_services.find(it->second.name);
    return entry == m_services.end() ? nullptr : &entry->second;
}

SimHostServiceManager::Entry* SimHostServiceManager::EntryFor(portsvc::host::ScHandle handle,
                                                              ScOperation operation,
                                                              uint32_t& error) {
    Entry* entry = EntryOf(handle);
    error = entry ? CheckRight(m_handles[handle].access, operation) : win::kErrorInvalidHandle;
    return error == 0 ? entry : nullptr;
}

bool SimHostServiceManager::SetDescription(portsvc::host::ScHandle service,
                                           const std::u16string& description) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_trace.Enter("ChangeServiceConfig2W", ToUtf8(description)))
        return false;
    uint32_t error = 0;
    Entry* entry = EntryFor(service, ScOperation::kChangeConfig, error);
    if (!entry)
        return false;
    entry->description = description;
    return true;
}

uint32_t SimHostServiceManager::ControlStop(portsvc::host::ScHandle service) {
    std::u16string key;
    uint32_t delayMs = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (auto fault = m_trace.Enter("ControlService", "STOP"))
            return *fault;
        uint32_t error = 0;
        Entry* entry = EntryFor(service, ScOperation::kStop, error);
        if (!entry)
            return error;
        if (entry->state == sdk::kServiceStopped)
            return win::kErrorServiceNotActive;
        if (entry->state != sdk::kServiceRunning)
            return kErrorServiceCannotAcceptCtrl;
        entry->state = sdk::kServiceStopPending;
        key = m_handles[service].name;
        delayMs = m_stopDelayMs;
    }
    // The clock runs its actions under its own lock, and FinishStop takes ours: ours is not
    // held here, so the two locks are never taken in both orders.
    if (delayMs == 0)
        FinishStop(key);
    else
        m_clock.Schedule(delayMs, [this, key] { FinishStop(key); });
    return win::kErrorSuccess;
}

// The service's process ended: a marked entry goes now.
void SimHostServiceManager::FinishStop(const std::u16string& key) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_services.find(key);
    if (it == m_services.end())
        return;
    it->second.state = sdk::kServiceStopped;
    if (it->second.markedForDelete)
        m_services.erase(it);
}

uint32_t SimHostServiceManager::QueryState(portsvc::host::ScHandle service, uint32_t& state) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    state = 0;
    if (auto fault = m_trace.Enter("QueryServiceStatus"))
        return *fault;
    uint32_t error = 0;
    Entry* entry = EntryFor(service, ScOperation::kQueryStatus, error);
    if (!entry)
        return error;
    state = entry->state;
    return win::kErrorSuccess;
}

uint32_t SimHostServiceManager::DeleteService(portsvc::host::ScHandle service) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (auto fault = m_trace.Enter("DeleteService"))
        return *fault;
    uint32_t error = 0;
    Entry* entry = EntryFor(service, ScOperation::kDelete, error);
    if (!entry)
        return error;
    if (entry->markedForDelete)
        return sdk::kErrorServiceMarkedForDelete;
    if (entry->state != sdk::kServiceStopped) {
        entry->markedForDelete = true;
        return win::kErrorSuccess;
    }
    m_services.erase(m_handles[service].name);
    return win::kErrorSuccess;
}

void SimHostServiceManager::Close(portsvc::host::ScHandle handle) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_trace.Enter("CloseServiceHandle");
    m_handles.erase(handle);
}

void SimHostServiceManager::AddService(const portsvc::host::ServiceConfig& config, uint32_t state) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_services[Fold(config.name)] = {config, {}, state, false};
}

std::optional<SimHostServiceManager::Entry> SimHostServiceManager::Find(
    const std::u16string& name) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_services.find(Fold(name));
    if (it == m_services.end())
        return std::nullopt;
    return it->second;
}

size_t SimHostServiceManager::OpenHandleCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_handles.size();
}

uint32_t SimHostServiceManager::RunDispatcher(const std::u16string& name, ServiceMainFn serviceMain,
                                              void* context) {
    if (auto fault = m_trace.Enter("StartServiceCtrlDispatcherW", ToUtf8(name)))
        return *fault;
    if (!m_startedByManager)
        return win::kErrorFailedServiceControllerConnect;
    m_dispatcherThread = SimCurrentThreadId();
    std::thread serviceThread([this, serviceMain, context] {
        serviceMain(context);
        std::lock_guard<std::mutex> lock(m_dispatchMutex);
        m_serviceThreadDone = true;
        m_dispatchCv.notify_all();
    });
    std::unique_lock<std::mutex> lock(m_dispatchMutex);
    for (;;) {
        m_dispatchCv.wait(lock, [this] {
            return !m_controls.empty() || ServiceReportedStopped() || m_serviceThreadDone;
        });
        if (m_controls.empty())
            break;
        Control* control = m_controls.front();
        m_controls.pop_front();
        HandlerFn handler = m_handler;
        void* handlerContext = m_handlerContext;
        lock.unlock();
        uint32_t result =
            handler ? handler(control->control, control->eventType, nullptr, handlerContext)
                    : win::kErrorInvalidFunction;
        lock.lock();
        control->result = result;
        control->done = true;
        m_dispatchCv.notify_all();
    }
    lock.unlock();
    serviceThread.join();
    return win::kErrorSuccess;
}

bool SimHostServiceManager::ServiceReportedStopped() const {
    return !m_reports.empty() && m_reports.back().currentState == sdk::kServiceStopped;
}

portsvc::host::StatusHandle SimHostServiceManager::RegisterHandler(const std::u16string& name,
                                                                   HandlerFn handler,
                                                                   void* context) {
    if (m_trace.Enter("RegisterServiceCtrlHandlerExW", ToUtf8(name)))
        return 0;
    std::lock_guard<std::mutex> lock(m_dispatchMutex);
    m_handler = handler;
    m_handlerContext = context;
    return kStatusHandle;
}

bool SimHostServiceManager::SetStatus(portsvc::host::StatusHandle handle,
                                      const win::ServiceStatus& status) {
    m_trace.Enter("SetServiceStatus", std::to_string(status.currentState));
    std::lock_guard<std::mutex> lock(m_dispatchMutex);
    if (handle != kStatusHandle)
        return false;
    m_reports.push_back(status);
    m_dispatchCv.notify_all();
    return true;
}

uint32_t SimHostServiceManager::CurrentThreadId() {
    return SimCurrentThreadId();
}

uint32_t SimHostServiceManager::SendControl(uint32_t control, uint32_t eventType) {
    Control request{control, eventType};
    std::unique_lock<std::mutex> lock(m_dispatchMutex);
    m_controls.push_back(&request);
    m_dispatchCv.notify_all();
    if (!m_dispatchCv.wait_for(lock, kRealTimeBound, [&] { return request.done; })) {
        for (auto it = m_controls.begin(); it != m_controls.end(); ++it) {
            if (*it == &request) {
                m_controls.erase(it);
                return win::kErrorServiceRequestTimeout;
            }
        }
        // Already in the handler: its result is written into `request`, so wait for it.
        m_dispatchCv.wait(lock, [&] { return request.done; });
    }
    return request.result;
}

std::vector<win::ServiceStatus> SimHostServiceManager::Reports() const {
    std::lock_guard<std::mutex> lock(m_dispatchMutex);
    return m_reports;
}

bool SimHostServiceManager::WaitForReport(uint32_t state) {
    std::unique_lock<std::mutex> lock(m_dispatchMutex);
    return m_dispatchCv.wait_for(lock, kRealTimeBound, [&] {
        for (const auto& report : m_reports) {
            if (report.currentState == state)
                return true;
        }
        return false;
    });
}

}  // namespace tav::sim
