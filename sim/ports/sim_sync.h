#pragma once
// Simulated kernel objects for the service: unnamed events that really block (so passes on
// real threads serialise on them) and the setup utility's named mutex in one of its
// states. Every call records itself and can be told to fail. Each handle keeps the access it
// was opened with: a wait needs SYNCHRONIZE, SetEvent EVENT_MODIFY_STATE (5 without).

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "portlink/core/sync_api.h"
#include "sim/call_log.h"

namespace tav::sim {

enum class UtilityMutex {
    kAbsent,     // the utility is not running
    kHeld,       // the utility runs and owns it
    kFree,       // exists, nobody owns it
    kAbandoned,  // its owner ended without releasing it
};

class SimSync : public portsvc::SyncApi {
  public:
    explicit SimSync(SimTrace& trace) : m_trace(trace) {}

    void SetUtilityMutex(UtilityMutex state);
    UtilityMutex UtilityMutexState() const;
    // True while a probe owns the utility's mutex (taken and not yet released).
    bool UtilityMutexOwnedByService() const;
    bool IsEventSignalled(portsvc::PlatformHandle event) const;
    // Threads blocked in a wait on the event.
    int WaitingThreads(portsvc::PlatformHandle event) const;
    // Open handles of every kind (events and mutex handles).
    int OpenHandleCount() const;

    portsvc::PlatformHandle CreateUnnamedEvent(bool manualReset, bool initialState) override;
    uint32_t WaitForObject(portsvc::PlatformHandle handle, uint32_t milliseconds) override;
    bool SignalEvent(portsvc::PlatformHandle handle) override;
    portsvc::PlatformHandle OpenNamedMutex(uint32_t access, bool inherit,
                                           const char16_t* name) override;
    bool ReleaseOwnedMutex(portsvc::PlatformHandle handle) override;
    // CreateMutexW(security, not owned, name) as a console calls it: opens the utility's
    // mutex, or creates it free; one made so is gone again with its last handle.
    portsvc::PlatformHandle CreateNamedMutex(const char16_t* name);
    bool CloseObject(portsvc::PlatformHandle handle) override;

  private:
    // As Windows does, setting an auto-reset event that has waiters releases the longest
    // waiting one directly: the event stays unsignalled, so a thread that waits on it again
    // right away cannot take it from under the waiter.
    struct Event {
        std::mutex mutex;
        std::condition_variable changed;
        bool manualReset = false;
        bool signalled = false;
        std::deque<uint64_t> waiters;  // tickets, oldest first
        std::set<uint64_t> released;   // tickets handed the event by SetEvent
        uint64_t nextTicket = 1;
    };
    std::shared_ptr<Event> FindEvent(portsvc::PlatformHandle handle) const;
    bool IsMutexHandle(portsvc::PlatformHandle handle) const;
    uint32_t WaitEvent(Event& event, uint32_t milliseconds);
    uint32_t WaitUtilityMutex();

    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    std::map<portsvc::PlatformHandle, std::shared_ptr<Event>> m_events;
    std::map<portsvc::PlatformHandle, bool> m_mutexHandles;
    std::map<portsvc::PlatformHandle, uint32_t> m_access;  // granted access of every open handle
    bool Grants(portsvc::PlatformHandle handle, uint32_t right) const;
    UtilityMutex m_utility = UtilityMutex::kAbsent;
    bool m_ownedByService = false;
    bool m_madeByHandle = false;  // exists only while its handles are open
    portsvc::PlatformHandle m_nextHandle = 0x100;
};

}  // namespace tav::sim
