#include "portlink/core/event_log_writer.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/event_log.h"

namespace tav::portsvc {

namespace {

uint32_t U32Of(const TraceArg& arg) {
    uint32_t value = 0;
    std::memcpy(&value, arg.data, sizeof value);
    return value;
}

std::u16string DecimalText(uint32_t value) {
    return FromUtf8(std::to_string(value));
}

// The insertion strings of one entry, in the message's order.
std::vector<std::u16string> EntryStrings(EventLogApi& api, const TraceEventDef& event,
                                         const TraceArg* args, size_t count) {
    std::vector<std::u16string> strings;
    for (size_t i = 0; i < count && i < event.argCount; ++i) {
        const TraceArgDef& def = event.args[i];
        switch (def.kind) {
            case TraceArgKind::kU32:
                strings.push_back(DecimalText(U32Of(args[i])));
                if (def.winError)
                    strings.push_back(api.ErrorText(U32Of(args[i])));
                break;
            case TraceArgKind::kU16Text:
                strings.emplace_back(static_cast<const char16_t*>(args[i].data));
                break;
            case TraceArgKind::kNarrowText:
                strings.push_back(FromUtf8(static_cast<const char*>(args[i].data)));
                break;
        }
    }
    return strings;
}

}  // namespace

uint16_t EventLogEntryType(EventLogType type) {
    switch (type) {
        case EventLogType::kError:
            return win::kEventlogErrorType;
        case EventLogType::kWarning:
            return win::kEventlogWarningType;
        case EventLogType::kInformation:
        case EventLogType::kNone:
            break;
    }
    return win::kEventlogInformationType;
}

void EventLogWriter::Open() {
    if (!m_api || IsOpen())
        return;
    m_source.store(m_api->RegisterSource(kServiceName));
}

void EventLogWriter::Close() {
    PlatformHandle source = m_source.exchange(win::kNoHandle);
    // A source Windows will not let go of has nothing more to write to.
    if (source != win::kNoHandle)
        static_cast<void>(m_api->DeregisterSource(source));
}

void EventLogWriter::Write(const TraceEventDef& event, const TraceArg* args,
                           size_t count) noexcept {
    if (!IsOpen())
        return;
    if (event.eventLog.oncePerHold && m_holdReported.exchange(true))
        return;
    try {
        Report(event, args, count);
    } catch (const std::bad_alloc&) {
        // The entry is lost; the pass goes on.
    }
}

void EventLogWriter::Report(const TraceEventDef& event, const TraceArg* args, size_t count) {
    std::vector<std::u16string> strings = EntryStrings(*m_api, event, args, count);
    std::vector<const char16_t*> pointers;
    for (const std::u16string& s : strings)
        pointers.push_back(s.c_str());
    // A refused entry is lost; the Event Log is not a place a pass can wait on or retry.
    static_cast<void>(m_api->Report(m_source.load(), EventLogEntryType(event.eventLog.type),
                                    event.eventLog.messageId, pointers.data(),
                                    static_cast<uint16_t>(pointers.size())));
}

}  // namespace tav::portsvc
