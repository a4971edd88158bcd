#pragma once
// A printer channel that plays back scripted transaction outcomes in virtual time and
// records every transaction it was asked for. A read with nothing scripted runs out its
// budget and fails with a count of 0, as a cancelled read does on the real transport.

#include <cstdint>
#include <deque>
#include <vector>

#include "printer/settings/printer_channel.h"
#include "sim/virtual_clock.h"

namespace tav::test {

struct Transaction {
    uint32_t ioctlCode;
    std::vector<uint8_t> in;
    uint32_t outSize;
    bool hasCount;
    uint32_t budgetMs;
};

struct ScriptedOutcome {
    int result = 1;
    std::vector<uint8_t> reply;
    uint32_t count = 0xFFFFFFFF;  // default: the reply's length
    uint32_t elapsedMs = 0;
};

class ScriptedChannel : public setup::PrinterChannel {
  public:
    sim::VirtualClock clock;
    std::vector<Transaction> log;

    // Outcomes for transactions that read (an IOCTL, a read, or a write-then-read).
    void Reply(ScriptedOutcome outcome) { m_replies.push_back(std::move(outcome)); }
    void ReplyBytes(std::vector<uint8_t> bytes, uint32_t elapsedMs = 10) {
        ScriptedOutcome o;
        o.reply = std::move(bytes);
        o.elapsedMs = elapsedMs;
        Reply(std::move(o));
    }
    // Outcomes for the 256-byte drain reads of text queries, kept apart from the replies.
    void DrainReply(ScriptedOutcome outcome) { m_drains.push_back(std::move(outcome)); }
    // Outcomes for write-only transactions; they succeed at once when none is scripted.
    void WriteResult(int result) { m_writes.push_back(result); }

    int Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize, void* outBuffer,
                 uint32_t outSize, uint32_t* pCount, uint32_t budgetMs) override;
    Clock& GetClock() override { return clock; }

    std::vector<uint32_t> ReadSizes() const;

  private:
    std::deque<ScriptedOutcome> m_replies;
    std::deque<ScriptedOutcome> m_drains;
    std::deque<int> m_writes;
};

}  // namespace tav::test
