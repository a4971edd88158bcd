#include "sim/ports/sim_event_log.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorInvalidParameter = 87;
// ReportEventW's limit on one insertion string.
constexpr size_t kMaxStringChars = 31839;

bool IsEntryType(uint16_t type) {
    // EVENTLOG_SUCCESS, ERROR, WARNING, INFORMATION, AUDIT_SUCCESS, AUDIT_FAILURE.
    return type == 0 || type == 1 || type == 2 || type == 4 || type == 8 || type == 0x10;
}

bool StringsMissing(const SimEventLog::ReportCall& c) {
    if (c.count == 0)
        return false;
    if (!c.strings)
        return true;
    for (uint16_t i = 0; i < c.count; ++i) {
        if (!c.strings[i])
            return true;
    }
    return false;
}

bool StringTooLong(const SimEventLog::ReportCall& c) {
    for (uint16_t i = 0; i < c.count; ++i) {
        if (U16Length(c.strings[i]) > kMaxStringChars)
            return true;
    }
    return false;
}

struct EventLogRule {
    const char* name;
    uint32_t error;
    bool (*refuses)(const SimEventLog::ReportCall&);
};

// What ReportEventW refuses, in the order it is checked. The last rule is stricter than
// Windows, which stores such an entry and leaves the viewer to show a broken description:
// here it is refused, so that a test sees it.
const EventLogRule kEventLogRules[] = {
    {"source handle not open", kErrorInvalidHandle,
     [](const SimEventLog::ReportCall& c) { return !c.handleOpen; }},
    {"unknown entry type", kErrorInvalidParameter,
     [](const SimEventLog::ReportCall& c) { return !IsEntryType(c.type); }},
    {"insertion strings missing", kErrorInvalidParameter, StringsMissing},
    {"insertion string too long", kErrorInvalidParameter, StringTooLong},
    {"string count differs from the message", kErrorInvalidParameter,
     [](const SimEventLog::ReportCall& c) {
         return c.message && c.count != c.message->insertions;
     }},
};

// FormatMessageW's English texts for the codes the simulated world produces.
const std::map<uint32_t, const char16_t*> kErrorTexts = {
    {2, u"The system cannot find the file specified."},
    {5, u"Access is denied."},
    {6, u"The handle is invalid."},
    {8, u"Not enough memory resources are available to process this command."},
    {87, u"The parameter is incorrect."},
    {1722, u"The RPC server is unavailable."},
};

}  // namespace

void SimEventLog::RegisterMessageSource(const std::u16string& source,
                                        const SimMessageTable* table) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registered[source] = table;
}

void SimEventLog::UnregisterMessageSource(const std::u16string& source) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_registered.erase(source);
}

std::vector<SimEventEntry> SimEventLog::Entries() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries;
}

void SimEventLog::ClearEntries() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    m_refusals.clear();
}

int SimEventLog::OpenSourceCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_open.size());
}

std::vector<std::string> SimEventLog::Refusals() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refusals;
}

bool SimEventLog::Refuse(const std::string& rule, uint32_t error) {
    m_refusals.push_back(rule);
    SetLastErrorCode(error);
    return false;
}

PlatformHandle SimEventLog::RegisterSource(const char16_t* source) {
    std::string name = source ? ToUtf8(source) : "(null)";
    if (auto error = m_trace.Enter("RegisterEventSourceW", name)) {
        SetLastErrorCode(*error);
        return win::kNoHandle;
    }
    if (name == "Security") {  // the Security log is the system's own
        SetLastErrorCode(win::kErrorAccessDenied);
        return win::kNoHandle;
    }
    // A source that is not registered still gets a handle: its entries go to the
    // Application log without descriptions.
    std::lock_guard<std::mutex> lock(m_mutex);
    PlatformHandle handle = m_next;
    m_next += 4;
    m_open[handle] = source;
    return handle;
}

std::string SimEventLog::Describe(const std::u16string& source, uint32_t id,
                                  const std::vector<std::string>& strings) const {
    auto it = m_registered.find(source);
    const SimMessage* message =
        it != m_registered.end() && it->second ? it->second->Find(id) : nullptr;
    if (!message)
        return "The description for Event ID " + std::to_string(id & 0xFFFF) + " from source " +
               ToUtf8(source) + " cannot be found.";
    return it->second->Render(*message, strings);
}

bool SimEventLog::Report(PlatformHandle source, uint16_t type, uint32_t messageId,
                         const char16_t* const* strings, uint16_t count) {
    if (auto error = m_trace.Enter("ReportEventW", "type=" + std::to_string(type) + " id=" +
                                                       std::to_string(messageId & 0xFFFF))) {
        SetLastErrorCode(*error);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    auto open = m_open.find(source);
    const SimMessage* message = nullptr;
    if (open != m_open.end()) {
        auto registered = m_registered.find(open->second);
        if (registered != m_registered.end() && registered->second)
            message = registered->second->Find(messageId);
    }
    ReportCall call{open != m_open.end(), type, message, strings, count};
    for (const EventLogRule& rule : kEventLogRules) {
        if (rule.refuses(call))
            return Refuse(rule.name, rule.error);
    }
    SimEventEntry entry{open->second, type, messageId, {}, m_clock.TickCount(), {}};
    for (uint16_t i = 0; i < count; ++i)
        entry.strings.push_back(ToUtf8(strings[i]));
    entry.text = Describe(entry.source, messageId, entry.strings);
    m_entries.push_back(std::move(entry));
    return true;
}

bool SimEventLog::DeregisterSource(PlatformHandle source) {
    if (auto error = m_trace.Enter("DeregisterEventSource")) {
        SetLastErrorCode(*error);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_open.erase(source) == 0)
        return Refuse("source handle not open", kErrorInvalidHandle);
    return true;
}

std::u16string SimEventLog::ErrorText(uint32_t error) {
    static_cast<void>(m_trace.Enter("FormatMessageW", std::to_string(error)));
    auto it = kErrorTexts.find(error);
    return it == kErrorTexts.end() ? std::u16string() : std::u16string(it->second);
}

}  // namespace tav::sim
