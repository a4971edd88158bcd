// Any byte stream, split into reads at any points, through the text query: the result
// field never takes more than its 32 bytes and always ends with a NUL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "printer/settings/text_query.h"
#include "sim/virtual_clock.h"

namespace {

// The first input bytes give the read sizes (0 = a read that times out), the rest is the
// stream the printer sends.
class FuzzChannel : public tav::setup::PrinterChannel {
  public:
    FuzzChannel(const uint8_t* data, size_t size) {
        size_t splits = size > 0 ? data[0] % 16 : 0;
        size_t at = 1;
        for (; splits > 0 && at < size; --splits)
            m_sizes.push_back(data[at++]);
        if (at < size)
            m_stream.assign(data + at, data + size);
    }

    int Transact(uint32_t, const void*, uint32_t, void* out, uint32_t outSize, uint32_t* pCount,
                 uint32_t budgetMs) override {
        if (out == nullptr || outSize == 0)
            return 1;  // the query write
        const size_t want = NextReadSize(outSize);
        const size_t n = std::min(want, m_stream.size() - m_offset);
        if (n == 0) {
            m_clock.Advance(budgetMs);
            if (pCount)
                *pCount = 0;
            return 0;
        }
        m_clock.Advance(7);
        std::memcpy(out, m_stream.data() + m_offset, n);
        m_offset += n;
        if (pCount)
            *pCount = static_cast<uint32_t>(n);
        return 1;
    }
    tav::Clock& GetClock() override { return m_clock; }

  private:
    size_t NextReadSize(uint32_t outSize) {
        size_t want = outSize;
        if (m_next < m_sizes.size())
            want = std::min<size_t>(outSize, m_sizes[m_next++]);
        return want;
    }

    tav::sim::VirtualClock m_clock;
    std::vector<size_t> m_sizes;
    size_t m_next = 0;
    std::vector<uint8_t> m_stream;
    size_t m_offset = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    struct Guarded {
        uint8_t before[16];
        tav::setup::PrinterTextField field;
        uint8_t after[16];
    } g;
    std::memset(&g, 0xA5, sizeof g);
    FuzzChannel channel(data, size);
    const uint8_t query[] = {0x12, 0x75, 0x02};
    const int ok = tav::setup::QueryPrinterText(channel, query, sizeof query, g.field);
    for (uint8_t b : g.before)
        if (b != 0xA5)
            std::abort();
    for (uint8_t b : g.after)
        if (b != 0xA5)
            std::abort();
    if (ok && std::memchr(g.field, 0, sizeof g.field) == nullptr)
        std::abort();
    return 0;
}
