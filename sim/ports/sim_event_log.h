#pragma once
// The Application log as a service sees it: event sources opened by name, entries written
// through a source handle, and the message tables of the registered sources. It refuses what
// Windows refuses, from one table of rules (kEventLogRules in the .cpp), and keeps every
// entry with its source, type, ID, strings and virtual time. Every call records itself and
// can be told to fail.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "portlink/core/event_log_api.h"
#include "shared/clock.h"
#include "sim/call_log.h"
#include "sim/ports/sim_message_table.h"

namespace tav::sim {

struct SimEventEntry {
    std::u16string source;
    uint16_t type = 0;
    uint32_t id = 0;
    std::vector<std::string> strings;  // UTF-8
    uint32_t tick = 0;                 // the virtual clock's tick count when written
    // As the viewer shows it: the registered source's English text, or the viewer's note
    // that the description cannot be found.
    std::string text;
};

class SimEventLog : public portsvc::EventLogApi {
  public:
    SimEventLog(SimTrace& trace, Clock& clock) : m_trace(trace), m_clock(clock) {}

    // The package's registration: EventLog\Application\<source> with its message file.
    void RegisterMessageSource(const std::u16string& source, const SimMessageTable* table);
    void UnregisterMessageSource(const std::u16string& source);

    std::vector<SimEventEntry> Entries() const;
    void ClearEntries();
    // Source handles given out and not yet given back.
    int OpenSourceCount() const;
    // Calls refused by a rule, with the rule's name, in order.
    std::vector<std::string> Refusals() const;

    portsvc::PlatformHandle RegisterSource(const char16_t* source) override;
    bool Report(portsvc::PlatformHandle source, uint16_t type, uint32_t messageId,
                const char16_t* const* strings, uint16_t count) override;
    bool DeregisterSource(portsvc::PlatformHandle source) override;
    std::u16string ErrorText(uint32_t error) override;

    // What one ReportEventW call carries, for the rules.
    struct ReportCall {
        bool handleOpen;
        uint16_t type;
        const SimMessage* message;  // null: the source has no table, or no such message
        const char16_t* const* strings;
        uint16_t count;
    };

  private:
    bool Refuse(const std::string& rule, uint32_t error);
    std::string Describe(const std::u16string& source, uint32_t id,
                         const std::vector<std::string>& strings) const;

    SimTrace& m_trace;
    Clock& m_clock;
    mutable std::mutex m_mutex;
    std::map<std::u16string, const SimMessageTable*> m_registered;
    std::map<portsvc::PlatformHandle, std::u16string> m_open;
    std::vector<SimEventEntry> m_entries;
    std::vector<std::string> m_refusals;
    portsvc::PlatformHandle m_next = 0xE100;
};

}  // namespace tav::sim
