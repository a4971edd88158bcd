#pragma once
// The port link core of the service: the reconcile pass and the three places where the
// service host hands over to it (start hook, device-event case, stop hook). It owns the
// reconcile lock (m_hReconcileEvent), the device notification (m_hDevNotify), the trace
// provider and the Event Log source. Callable without a service control manager.
//
// Threads: the start hook and the stop hook run on the service thread, OnDeviceEvent on the
// control handler's thread; ReconcilePorts may run on either. Passes never overlap.

#include <atomic>
#include <cstdint>
#include <functional>

#include "portlink/core/owned_handles.h"
#include "portlink/core/port_link_platform.h"
#include "portlink/core/trace_provider.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

class PortLinkCore {
  public:
    // Creates m_hReconcileEvent (auto-reset, signalled). A failure is not reported here:
    // every pass then traces a failed wait and does nothing.
    explicit PortLinkCore(const PortLinkPlatform& platform);
    // Closes m_hReconcileEvent.
    ~PortLinkCore();
    PortLinkCore(const PortLinkCore&) = delete;
    PortLinkCore& operator=(const PortLinkCore&) = delete;

    // One reconcile pass: links every present printer to a port, creating ports as needed.
    // Always returns normally when out of memory: what could not be done waits for the
    // next pass.
    void ReconcilePorts();

    // Start hook: runs `baseStartSteps` (returns their HRESULT when negative), starts
    // tracing, opens the Event Log source and writes the start, runs one pass (`pass`, by
    // default ReconcilePorts), registers for printer interface events on
    // `serviceStatusHandle`. Returns S_OK, or HRESULT_FROM_WIN32 of a failed registration.
    [[nodiscard]] win::HResult StartHook(const std::function<win::HResult()>& baseStartSteps,
                                         PlatformHandle serviceStatusHandle,
                                         const std::function<void()>& pass = {});

    // Control handler, SERVICE_CONTROL_DEVICEEVENT: one pass (`pass`, by default
    // ReconcilePorts), then NO_ERROR. Once the stop hook has begun it returns NO_ERROR at
    // once without a pass.
    [[nodiscard]] uint32_t OnDeviceEvent(const std::function<void()>& pass = {});

    // Stop hook: writes the stop to the Event Log, unregisters the notification, takes the
    // reconcile lock for good (waiting for a pass in progress), stops tracing, closes the
    // Event Log source, then runs and returns `baseStopSteps`.
    [[nodiscard]] win::HResult StopHook(const std::function<win::HResult()>& baseStopSteps);

    PlatformHandle DevNotifyHandle() const { return m_hDevNotify; }
    PlatformHandle ReconcileEventHandle() const { return m_hReconcileEvent.get(); }
    TraceProvider& Trace() { return m_trace; }

  private:
    bool EnterDeviceEvent();
    void RunPass(const std::function<void()>& pass);
    void TakeLockForGood();
    void StopReporting();

    PortLinkPlatform m_platform;
    EventLogWriter m_eventLog;
    TraceProvider m_trace;
    PlatformHandle m_hDevNotify = win::kNoHandle;
    OwnedSyncObject m_hReconcileEvent;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_deviceEventsInFlight{0};
};

}  // namespace tav::portsvc
