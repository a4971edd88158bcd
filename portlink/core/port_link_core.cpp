#include "portlink/core/port_link_core.h"

#include <thread>

#include "portlink/core/reconcile_pass.h"
#include "shared/last_error.h"
#include "shared/names.h"

namespace tav::portsvc {

namespace {
// The version the start entry names: the file VERSION, as in the version resource.
constexpr char16_t kServiceVersion[] = u"" TAV_SERVICE_VERSION;
}  // namespace

PortLinkCore::PortLinkCore(const PortLinkPlatform& platform)
    : m_platform(platform),
      m_eventLog(platform.eventLog),
      m_trace(platform.trace, &m_eventLog),
      m_hReconcileEvent(*platform.sync, platform.sync->CreateUnnamedEvent(false, true)) {}

PortLinkCore::~PortLinkCore() = default;

void PortLinkCore::ReconcilePorts() {
    PassContext ctx{m_platform, m_trace};
    RunReconcilePass(ctx, m_hReconcileEvent.get());
}

void PortLinkCore::RunPass(const std::function<void()>& pass) {
    if (pass)
        pass();
    else
        ReconcilePorts();
}

win::HResult PortLinkCore::StartHook(const std::function<win::HResult()>& baseStartSteps,
                                     PlatformHandle serviceStatusHandle,
                                     const std::function<void()>& pass) {
    win::HResult hr = baseStartSteps ? baseStartSteps() : win::kSOk;
    if (hr < 0)
        return hr;
    m_trace.Start();
    m_eventLog.Open();
    m_trace.Emit<service_event::kServiceStarted>(TraceU16{kServiceVersion});
    RunPass(pass);
    PlatformHandle notification = m_platform.notify->RegisterInterfaceNotification(
        serviceStatusHandle, kPrinterInterfaceClass);
    if (notification == win::kNoHandle) {
        uint32_t error = GetLastErrorCode();
        hr = win::HResultFromWin32(error);
        // The stop hook does not run after a failed start, so the provider and the source
        // are let go here.
        if (hr < 0) {
            m_trace.Emit<service_event::kDeviceNotificationFailed>(error);
            StopReporting();
        }
        return hr;
    }
    m_hDevNotify = notification;
    return win::kSOk;
}

// Admits a device event unless the stop hook has begun. The count and the flag are both
// sequentially consistent, so either the event sees the flag or the stop hook sees the
// count.
bool PortLinkCore::EnterDeviceEvent() {
    if (m_stopping.load())
        return false;
    m_deviceEventsInFlight.fetch_add(1);
    if (m_stopping.load()) {
        m_deviceEventsInFlight.fetch_sub(1);
        return false;
    }
    return true;
}

uint32_t PortLinkCore::OnDeviceEvent(const std::function<void()>& pass) {
    if (!EnterDeviceEvent())
        return win::kErrorSuccess;
    // Counted out on every way out of the pass: a count left behind would keep the stop
    // hook handing the lock back for ever.
    struct LeaveDeviceEvent {
        std::atomic<int>& inFlight;
        ~LeaveDeviceEvent() { inFlight.fetch_sub(1); }
    } leave{m_deviceEventsInFlight};
    RunPass(pass);
    return win::kErrorSuccess;
}

// Waits for the reconcile lock and keeps it. A device event admitted just before the stop
// hook began may still be waiting for the lock: it gets the lock back and runs its pass
// first, so it cannot wait for ever.
void PortLinkCore::TakeLockForGood() {
    SyncApi& sync = *m_platform.sync;
    for (;;) {
        if (sync.WaitForObject(m_hReconcileEvent.get(), win::kInfinite) != win::kWaitObject0) {
            m_trace.Emit<service_event::kStopLockWaitFailed>(GetLastErrorCode());
            return;
        }
        if (m_deviceEventsInFlight.load() == 0)
            return;
        // A failed hand-back is seen as a failed wait of the pass that waits for it.
        static_cast<void>(sync.SignalEvent(m_hReconcileEvent.get()));
        std::this_thread::yield();
    }
}

void PortLinkCore::StopReporting() {
    m_trace.Stop();
    m_eventLog.Close();
}

win::HResult PortLinkCore::StopHook(const std::function<win::HResult()>& baseStopSteps) {
    m_stopping.store(true);
    m_trace.Emit<service_event::kServiceStopping>();
    if (m_hDevNotify != win::kNoHandle) {
        // The registration is given up whether or not Windows confirms it.
        static_cast<void>(m_platform.notify->UnregisterNotification(m_hDevNotify));
        m_hDevNotify = win::kNoHandle;
    }
    TakeLockForGood();
    StopReporting();
    return baseStopSteps ? baseStopSteps() : win::kSOk;
}

}  // namespace tav::portsvc
