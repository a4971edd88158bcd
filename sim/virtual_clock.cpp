#include "sim/virtual_clock.h"

namespace tav::sim {

uint32_t VirtualClock::TickCount() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_now;
}

uint64_t VirtualClock::Elapsed() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_elapsed;
}

void VirtualClock::Advance(uint32_t ms) {
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    const uint64_t target = m_elapsed + ms;
    for (;;) {
        auto next = m_due.begin();
        if (next == m_due.end() || next->first > target)
            break;
        const uint64_t at = next->first;
        std::function<void()> action = std::move(next->second.action);
        m_due.erase(next);
        m_now += static_cast<uint32_t>(at - m_elapsed);
        m_elapsed = at;
        action();  // may schedule more; the recursive mutex lets it
    }
    m_now += static_cast<uint32_t>(target - m_elapsed);
    m_elapsed = target;
}

uint64_t VirtualClock::Schedule(uint32_t delayMs, std::function<void()> action) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const uint64_t id = m_nextId++;
    m_due.emplace(m_elapsed + delayMs, Due{id, std::move(action)});
    return id;
}

void VirtualClock::Cancel(uint64_t id) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (auto it = m_due.begin(); it != m_due.end(); ++it) {
        if (it->second.id == id) {
            m_due.erase(it);
            return;
        }
    }
}

}  // namespace tav::sim
