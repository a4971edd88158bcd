#include "tests/settings/scripted_channel.h"

#include <algorithm>
#include <cstring>

namespace tav::test {

int ScriptedChannel::Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize,
                              void* outBuffer, uint32_t outSize, uint32_t* pCount,
                              uint32_t budgetMs) {
    const auto* in = static_cast<const uint8_t*>(inBuffer);
    log.push_back({ioctlCode, in ? std::vector<uint8_t>(in, in + inSize) : std::vector<uint8_t>{},
                   outSize, pCount != nullptr, budgetMs});
    if (outBuffer == nullptr || outSize == 0) {
        if (m_writes.empty())
            return 1;
        const int result = m_writes.front();
        m_writes.pop_front();
        return result;
    }
    const bool drain = inSize == 0 && outSize == 256;
    std::deque<ScriptedOutcome>& queue = drain ? m_drains : m_replies;
    if (queue.empty()) {
        clock.Advance(budgetMs);
        if (pCount)
            *pCount = 0;
        return 0;
    }
    ScriptedOutcome o = std::move(queue.front());
    queue.pop_front();
    clock.Advance(o.elapsedMs);
    const size_t n = std::min<size_t>(o.reply.size(), outSize);
    if (n != 0)
        std::memcpy(outBuffer, o.reply.data(), n);
    if (pCount)
        *pCount = o.count == 0xFFFFFFFF ? static_cast<uint32_t>(n) : o.count;
    return o.result;
}

std::vector<uint32_t> ScriptedChannel::ReadSizes() const {
    std::vector<uint32_t> sizes;
    for (const auto& t : log) {
        if (t.ioctlCode == 0 && t.in.empty())
            sizes.push_back(t.outSize);
    }
    return sizes;
}

}  // namespace tav::test
