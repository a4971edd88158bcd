#pragma once
// A simulated service control manager: service entries with their configuration and state,
// deletion that only marks a running service (its entry goes when it stops, and a new
// entry of that name is refused with 1072 until then), and the dispatcher side that runs a
// service's entry on its own thread and delivers controls on the dispatching thread.
// Handles carry the access they were opened with, as the caller may have it; each call
// needs its right from the one table in sim/access_rights.h.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/access_rights.h"
#include "sim/call_log.h"
#include "sim/virtual_clock.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::sim {

class SimHostServiceManager : public portsvc::host::ServiceControlManager,
                              public portsvc::host::ServiceDispatcher {
  public:
    struct Entry {
        portsvc::host::ServiceConfig config;
        std::u16string description;
        uint32_t state = sdk::kServiceStopped;
        bool markedForDelete = false;
    };

    SimHostServiceManager(SimTrace& trace, VirtualClock& clock) : m_trace(trace), m_clock(clock) {}

    // ServiceControlManager.
    portsvc::host::ScHandle OpenManager(uint32_t access, uint32_t& error) override;
    portsvc::host::ScHandle OpenServiceEntry(portsvc::host::ScHandle manager,
                                             const std::u16string& name, uint32_t access,
                                             uint32_t& error) override;
    portsvc::host::ScHandle CreateServiceEntry(portsvc::host::ScHandle manager,
                                               const portsvc::host::ServiceConfig& config,
                                               uint32_t& error) override;
    bool SetDescription(portsvc::host::ScHandle service,
                        const std::u16string& description) override;
    uint32_t ControlStop(portsvc::host::ScHandle service) override;
    uint32_t QueryState(portsvc::host::ScHandle service, uint32_t& state) override;
    uint32_t DeleteService(portsvc::host::ScHandle service) override;
    void Close(portsvc::host::ScHandle handle) override;

    // ServiceDispatcher.
    uint32_t RunDispatcher(const std::u16string& name, ServiceMainFn serviceMain,
                           void* context) override;
    portsvc::host::StatusHandle RegisterHandler(const std::u16string& name, HandlerFn handler,
                                                void* context) override;
    bool SetStatus(portsvc::host::StatusHandle handle, const win::ServiceStatus& status) override;
    uint32_t CurrentThreadId() override;

    // Test set-up and inspection.
    void SetStartedByManager(bool started) { m_startedByManager = started; }
    void SetCaller(SimCaller caller);
    // How long a running service takes to stop after a stop control (virtual time).
    void SetStopDelay(uint32_t ms) { m_stopDelayMs = ms; }
    void AddService(const portsvc::host::ServiceConfig& config, uint32_t state);
    std::optional<Entry> Find(const std::u16string& name) const;
    size_t OpenHandleCount() const;

    // Queues a control for the dispatcher thread and returns the handler's result once
    // delivered.
    uint32_t SendControl(uint32_t control, uint32_t eventType = 0);
    // Every status the service reported, in order.
    std::vector<win::ServiceStatus> Reports() const;
    // Waits (real time, bounded) until a report with `state` arrived; false on time-out.
    bool WaitForReport(uint32_t state);
    uint32_t DispatcherThreadId() const { return m_dispatcherThread; }

  private:
    struct Handle {
        bool isManager;
        std::u16string name;
        uint32_t access;
    };
    struct Control {
        uint32_t control;
        uint32_t eventType;
        bool done = false;
        uint32_t result = 0;
    };

    Entry* EntryOf(portsvc::host::ScHandle handle);
    // The entry of a service handle whose access allows `operation`; none with 6 or 5.
    Entry* EntryFor(portsvc::host::ScHandle handle, ScOperation operation, uint32_t& error);
    // A manager handle whose access allows `operation`: 0, 6 or 5.
    uint32_t CheckManager(portsvc::host::ScHandle manager, ScOperation operation) const;
    void FinishStop(const std::u16string& key);
    bool ServiceReportedStopped() const;

    SimTrace& m_trace;
    VirtualClock& m_clock;
    mutable std::recursive_mutex m_mutex;
    std::map<std::u16string, Entry> m_services;  // by folded name
    std::map<portsvc::host::ScHandle, Handle> m_handles;
    portsvc::host::ScHandle m_nextHandle = 0x2000;
    bool m_startedByManager = true;
    uint32_t m_stopDelayMs = 0;
    SimCaller m_caller = SimCaller::kAdministrator;

    // Dispatcher side.
    mutable std::mutex m_dispatchMutex;
    std::condition_variable m_dispatchCv;
    std::deque<Control*> m_controls;
    std::vector<win::ServiceStatus> m_reports;
    HandlerFn m_handler = nullptr;
    void* m_handlerContext = nullptr;
    bool m_serviceThreadDone = false;
    uint32_t m_dispatcherThread = 0;
};

}  // namespace tav::sim
