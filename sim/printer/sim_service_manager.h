#pragma once
// The service control manager of a simulated machine: services with states that change over
// virtual time (pending for a configurable while, or for good), wait hints, refused requests,
// and dependencies (a service cannot stop while a dependent runs). Handles carry the access
// they were opened with, as the caller may have it; each call needs its right from the one
// table in sim/access_rights.h.

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printer/link/service_manager.h"
#include "sim/access_rights.h"
#include "sim/call_log.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

inline constexpr uint32_t kStaysPending = std::numeric_limits<uint32_t>::max();

struct SimServiceConfig {
    uint32_t state = sdk::kServiceRunning;
    uint32_t startDelayMs = 0;  // time in START_PENDING (kStaysPending: for good)
    uint32_t stopDelayMs = 0;   // time in STOP_PENDING
    uint32_t waitHint = 0;      // reported while pending
    uint32_t refuseStart = 0;   // nonzero: StartServiceW fails with this error
    uint32_t refuseStop = 0;    // nonzero: ControlService fails with this error
    std::vector<std::u16string> dependsOn;
};

class SimServiceManager : public setup::ServiceManager {
  public:
    SimServiceManager(VirtualClock& clock, SimTrace& trace);

    // Adds or replaces a service (a running one counts as running since long ago).
    void AddService(const std::u16string& name, SimServiceConfig config = {});
    SimServiceConfig& Config(const std::u16string& name);
    uint32_t State(const std::u16string& name) const;
    // How long the service has been running; none when it is not running.
    std::optional<uint64_t> RunningForMs(const std::u16string& name) const;
    size_t OpenHandles() const { return m_handles.size(); }
    // Told when a service arrives in a settled state: a scenario runs or ends the service's
    // process there, as the machine's manager does.
    std::function<void(const std::u16string& name, uint32_t state)> onSettled;
    void SetCaller(SimCaller caller) { m_caller = caller; }

    setup::Handle OpenManager(const char16_t* machineName, const char16_t* databaseName,
                              uint32_t access) override;
    setup::Handle OpenNamedService(setup::Handle manager, const char16_t* serviceName,
                                   uint32_t access) override;
    int QueryServiceStatus(setup::Handle service, win::ServiceStatus& status) override;
    int StartNamedService(setup::Handle service) override;
    int ControlService(setup::Handle service, uint32_t control,
                       win::ServiceStatus& status) override;
    int CloseServiceHandle(setup::Handle handle) override;

  private:
    struct Service {
        SimServiceConfig config;
        int64_t runningSince = 0;
        uint64_t scheduleId = 0;
    };
    struct OpenHandle {
        std::u16string name;  // "" for the manager
        uint32_t access;
    };
    Service* ServiceOf(setup::Handle handle, std::u16string* pName);
    // The service of a handle whose access allows `operation`; none with 6 or 5.
    Service* ServiceFor(setup::Handle handle, ScOperation operation, uint32_t& error);
    void BeginStart(const std::u16string& name);
    void Settle(const std::u16string& name, uint32_t state, uint32_t delayMs);
    bool DependentRunning(const std::u16string& name) const;
    win::ServiceStatus StatusOf(const Service& service) const;

    VirtualClock& m_clock;
    SimTrace& m_trace;
    std::map<std::u16string, Service> m_services;
    std::map<setup::Handle, OpenHandle> m_handles;
    setup::Handle m_nextHandle = 0x9000;
    SimCaller m_caller = SimCaller::kAdministrator;
};

}  // namespace tav::sim
