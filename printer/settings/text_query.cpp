#include "printer/settings/text_query.h"

#include <cstring>

namespace tav::setup {

namespace {

void Drain(PrinterChannel& channel) {
    uint8_t scratch[kDrainSize];
    uint32_t count = 0;
    // Whatever is still in the channel is thrown away; nothing read here is answered.
    static_cast<void>(
        channel.Transact(0, nullptr, 0, scratch, sizeof scratch, &count, kDrainBudgetMs));
}

int Fail(PrinterChannel& channel) {
    Drain(channel);
    return 0;
}

}  // namespace

int QueryPrinterText(PrinterChannel& channel, const uint8_t* query, uint32_t querySize,
                     PrinterTextField& result) {
    Drain(channel);
    uint8_t collected[kCollectionSize] = {};
    if (!channel.Transact(0, query, querySize, nullptr, 0, nullptr, kQueryWriteBudgetMs))
        return Fail(channel);

    Clock& clock = channel.GetClock();
    const uint32_t t0 = clock.TickCount();
    std::memset(result, 0, sizeof result);
    TextReplyFramer framer;
    uint32_t total = 0;
    for (;;) {
        if (total + kReplyReadSize >= kCollectionSize)
            return Fail(channel);
        uint32_t count = 0;
        if (channel.Transact(0, nullptr, 0, collected + total, kReplyReadSize, &count,
                             kReplyReadBudgetMs)) {
            // A reply never claims more than the read asked for.
            count = count > kReplyReadSize ? kReplyReadSize : count;
            framer.Feed(collected + total, count);
            total += count;
        }
        if (framer.Ended()) {
            CopyFramedText(framer, result);
            return 1;
        }
        if (ElapsedMs(t0, clock.TickCount()) > kReplyWindowMs)
            return Fail(channel);
    }
}

}  // namespace tav::setup
