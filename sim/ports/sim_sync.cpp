#include "sim/ports/sim_sync.h"

#include <algorithm>
#include <chrono>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

constexpr uint32_t kErrorNotOwner = 288;

// The setup utility's mutex, by its own name.
constexpr char16_t kUtilityMutexName[] = u"Global\\____TAV_IO_SETUP_SOFTWARE____";

// The access an OpenMutexW request is granted on the utility's mutex, whose security grants
// everyone GENERIC_ALL: the generic rights map onto the mutex's own, and a right that a mutex
// does not have cannot be granted (5).
bool GrantMutexAccess(uint32_t requested, uint32_t* pGranted) {
    constexpr uint32_t kGenericBits =
        sdk::kGenericRead | sdk::kGenericWrite | sdk::kGenericExecute | sdk::kGenericAll;
    if (requested & ~(sdk::kMutexAllAccess | kGenericBits | sdk::kMaximumAllowed))
        return false;
    uint32_t granted = requested & sdk::kMutexAllAccess;
    if (requested & sdk::kGenericRead)
        granted |= 0x00020000 | sdk::kMutexModifyState;  // READ_CONTROL | MUTANT_QUERY_STATE
    if (requested & sdk::kGenericWrite)
        granted |= 0x00020000;
    if (requested & sdk::kGenericExecute)
        granted |= 0x00020000 | sdk::kSynchronize;
    if (requested & (sdk::kGenericAll | sdk::kMaximumAllowed))
        granted |= sdk::kMutexAllAccess;
    *pGranted = granted;
    return true;
}

bool Fails(SimTrace& trace, const std::string& call, const std::string& detail = {}) {
    if (auto error = trace.Enter(call, detail)) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
}

}  // namespace

void SimSync::SetUtilityMutex(UtilityMutex state) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_utility = state;
    m_ownedByService = false;
    m_madeByHandle = false;
}

UtilityMutex SimSync::UtilityMutexState() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_utility;
}

bool SimSync::UtilityMutexOwnedByService() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_ownedByService;
}

bool SimSync::IsEventSignalled(PlatformHandle handle) const {
    auto event = FindEvent(handle);
    if (!event)
        return false;
    std::lock_guard<std::mutex> lock(event->mutex);
    return event->signalled;
}

int SimSync::WaitingThreads(PlatformHandle handle) const {
    auto event = FindEvent(handle);
    if (!event)
        return 0;
    std::lock_guard<std::mutex> lock(event->mutex);
    return static_cast<int>(event->waiters.size());
}

int SimSync::OpenHandleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_events.size() + m_mutexHandles.size());
}

bool SimSync::Grants(PlatformHandle handle, uint32_t right) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_access.find(handle);
    return it == m_access.end() || (it->second & right) == right;  // unknown: invalid later
}

std::shared_ptr<SimSync::Event> SimSync::FindEvent(PlatformHandle handle) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_events.find(handle);
    return it == m_events.end() ? nullptr : it->second;
}

bool SimSync::IsMutexHandle(PlatformHandle handle) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mutexHandles.count(handle) != 0;
}

PlatformHandle SimSync::CreateUnnamedEvent(bool manualReset, bool initialState) {
    if (Fails(m_trace, "CreateEventW"))
        return win::kNoHandle;
    auto event = std::make_shared<Event>();
    event->manualReset = manualReset;
    event->signalled = initialState;
    std::lock_guard<std::mutex> lock(m_mutex);
    PlatformHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_events[handle] = std::move(event);
    m_access[handle] = sdk::kEventAllAccess;  // CreateEventW's handle has full access
    return handle;
}

uint32_t SimSync::WaitEvent(Event& event, uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(event.mutex);
    if (event.signalled) {
        if (!event.manualReset)
            event.signalled = false;
        return win::kWaitObject0;
    }
    if (milliseconds == 0)
        return win::kWaitTimeout;
    uint64_t ticket = event.nextTicket++;
    event.waiters.push_back(ticket);
    auto done = [&] {
        return event.released.count(ticket) != 0 || (event.manualReset && event.signalled);
    };
    bool got = true;
    if (milliseconds == win::kInfinite)
        event.changed.wait(lock, done);
    else
        got = event.changed.wait_for(lock, std::chrono::milliseconds(milliseconds), done);
    event.released.erase(ticket);
    auto it = std::find(event.waiters.begin(), event.waiters.end(), ticket);
    if (it != event.waiters.end())
        event.waiters.erase(it);
    return got ? win::kWaitObject0 : win::kWaitTimeout;
}

// A zero time-out probe of the utility's mutex; a successful wait makes the caller owner.
uint32_t SimSync::WaitUtilityMutex() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ownedByService || m_utility == UtilityMutex::kHeld)
        return win::kWaitTimeout;
    uint32_t result =
        m_utility == UtilityMutex::kAbandoned ? win::kWaitAbandoned : win::kWaitObject0;
    m_ownedByService = true;
    return result;
}

uint32_t SimSync::WaitForObject(PlatformHandle handle, uint32_t milliseconds) {
    if (Fails(m_trace, "WaitForSingleObject", std::to_string(milliseconds)))
        return win::kWaitFailed;
    if (!Grants(handle, sdk::kSynchronize)) {
        SetLastErrorCode(win::kErrorAccessDenied);
        return win::kWaitFailed;
    }
    if (auto event = FindEvent(handle))
        return WaitEvent(*event, milliseconds);
    if (IsMutexHandle(handle))
        return WaitUtilityMutex();
    SetLastErrorCode(win::kErrorInvalidHandle);
    return win::kWaitFailed;
}

bool SimSync::SignalEvent(PlatformHandle handle) {
    if (Fails(m_trace, "SetEvent"))
        return false;
    if (!Grants(handle, sdk::kEventModifyState)) {
        SetLastErrorCode(win::kErrorAccessDenied);
        return false;
    }
    auto event = FindEvent(handle);
    if (!event) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(event->mutex);
        if (!event->manualReset && !event->waiters.empty()) {
            event->released.insert(event->waiters.front());
            event->waiters.pop_front();
        } else {
            event->signalled = true;
        }
    }
    event->changed.notify_all();
    return true;
}

PlatformHandle SimSync::OpenNamedMutex(uint32_t access, bool inherit, const char16_t* name) {
    if (Fails(m_trace, "OpenMutexW",
              ToUtf8(name) + " access=" + std::to_string(access) +
                  " inherit=" + std::to_string(inherit)))
        return win::kNoHandle;
    // Windows accepts an inheritable handle; the service starts no process that could inherit
    // it and never asks for one, so it is refused here to show up in a test.
    if (inherit) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return win::kNoHandle;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_utility == UtilityMutex::kAbsent || std::u16string(name) != kUtilityMutexName) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return win::kNoHandle;
    }
    uint32_t granted = 0;
    if (!GrantMutexAccess(access, &granted)) {
        SetLastErrorCode(win::kErrorAccessDenied);
        return win::kNoHandle;
    }
    PlatformHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_mutexHandles[handle] = true;
    m_access[handle] = granted;
    return handle;
}

PlatformHandle SimSync::CreateNamedMutex(const char16_t* name) {
    if (Fails(m_trace, "CreateMutexW", ToUtf8(name)))
        return win::kNoHandle;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Only the utility's mutex is simulated; another name would be a mistake of the caller.
    if (std::u16string(name) != kUtilityMutexName) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return win::kNoHandle;
    }
    const bool existed = m_utility != UtilityMutex::kAbsent;
    if (!existed) {
        m_utility = UtilityMutex::kFree;
        m_madeByHandle = true;
    }
    PlatformHandle handle = m_nextHandle;
    m_nextHandle += 4;
    m_mutexHandles[handle] = true;
    m_access[handle] = sdk::kMutexAllAccess;
    SetLastErrorCode(existed ? win::kErrorAlreadyExists : win::kErrorSuccess);
    return handle;
}

// Releasing needs no right of the handle: only the owner can release, and MUTEX_MODIFY_STATE
// is documented as reserved.
bool SimSync::ReleaseOwnedMutex(PlatformHandle handle) {
    if (Fails(m_trace, "ReleaseMutex"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_mutexHandles.count(handle) == 0) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    if (!m_ownedByService) {
        SetLastErrorCode(kErrorNotOwner);
        return false;
    }
    m_ownedByService = false;
    m_utility = UtilityMutex::kFree;
    return true;
}

bool SimSync::CloseObject(PlatformHandle handle) {
    if (Fails(m_trace, "CloseHandle"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_events.erase(handle) == 0 && m_mutexHandles.erase(handle) == 0) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    m_access.erase(handle);
    if (m_madeByHandle && m_mutexHandles.empty() && !m_ownedByService) {
        m_madeByHandle = false;
        m_utility = UtilityMutex::kAbsent;
    }
    return true;
}

}  // namespace tav::sim
