#include "sim/host/sim_thread_ids.h"

#include <atomic>

namespace tav::sim {

uint32_t SimCurrentThreadId() {
    static std::atomic<uint32_t> s_next{100};
    thread_local uint32_t t_id = s_next.fetch_add(4);
    return t_id;
}

}  // namespace tav::sim
