#include "sim/ports/sim_trace_recorder.h"

#include <cstdio>
#include <cstring>

#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

class FixedEnableRequest : public TraceEnableRequest {
  public:
    FixedEnableRequest(uint64_t logger, uint8_t level, uint32_t flags, int& reads)
        : m_logger(logger), m_level(level), m_flags(flags), m_reads(reads) {}
    uint64_t LoggerHandle() override {
        ++m_reads;
        return m_logger;
    }
    uint8_t EnableLevel() override {
        ++m_reads;
        return m_level;
    }
    uint32_t EnableFlags() override {
        ++m_reads;
        return m_flags;
    }

  private:
    uint64_t m_logger;
    uint8_t m_level;
    uint32_t m_flags;
    int& m_reads;
};

// The session's own copy of the message flags it expects: TRACE_MESSAGE_SEQUENCE |
// TRACE_MESSAGE_GUID | TRACE_MESSAGE_TIMESTAMP | TRACE_MESSAGE_SYSTEMINFO.
constexpr uint32_t kSessionMessageFlags = 0x2B;
constexpr uint32_t kErrorWmiGuidNotFound = 4200;

std::string GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

}  // namespace

std::vector<uint8_t> Le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

std::vector<uint8_t> NarrowBytes(const char* text) {
    return std::vector<uint8_t>(text, text + std::strlen(text) + 1);
}

uint32_t SimTraceRecorder::Control(uint32_t requestCode, uint8_t level, uint32_t flags,
                                   uint64_t logger, uint32_t* replySize) {
    TraceControlRecord* record;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        record = m_record;
    }
    if (!record)
        return win::kErrorInvalidHandle;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_registeredControlGuid != kSimTraceControlGuid)
            return kErrorWmiGuidNotFound;  // the session's GUID reaches no provider
    }
    int reads = 0;
    FixedEnableRequest request(logger, level, flags, reads);
    uint32_t result = TraceControlCallback(requestCode, *record, replySize, request);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enableFieldReads += reads;
    if (result == win::kErrorSuccess && requestCode == win::kWmiEnableEvents) {
        m_sessionLogger = logger;
        m_sessionLevel = level;
        m_sessionFlags = flags;
    } else if (result == win::kErrorSuccess && requestCode == win::kWmiDisableEvents) {
        m_sessionLogger = 0;
        m_sessionLevel = 0;
        m_sessionFlags = 0;
    }
    return result;
}

uint32_t SimTraceRecorder::Enable(uint8_t level, uint32_t flags, uint64_t logger) {
    uint32_t size = 99;
    return Control(win::kWmiEnableEvents, level, flags, logger, &size);
}

uint32_t SimTraceRecorder::Disable() {
    uint32_t size = 99;
    return Control(win::kWmiDisableEvents, 0, 0, 0, &size);
}

uint32_t SimTraceRecorder::SendControl(uint32_t requestCode, uint32_t* replySize) {
    return Control(requestCode, 0xEE, 0xFFFFFFFF, 0xBAD, replySize);
}

bool SimTraceRecorder::Registered() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_record != nullptr;
}

std::vector<TracedEvent> SimTraceRecorder::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::vector<UndecodableEvent> SimTraceRecorder::Undecodable() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_undecodable;
}

std::vector<uint16_t> SimTraceRecorder::Numbers(TraceModule module) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint16_t> out;
    for (const auto& e : m_events) {
        if (e.module == module)
            out.push_back(e.number);
    }
    return out;
}

void SimTraceRecorder::ClearEvents() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
    m_undecodable.clear();
}

int SimTraceRecorder::EnableFieldReads() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_enableFieldReads;
}

uint32_t SimTraceRecorder::RegisterProvider(const Guid& controlGuid, TraceControlRecord* record,
                                            uint64_t* registration) {
    if (auto error = m_trace.Enter("RegisterTraceGuidsW", ToUtf8(GuidToString(controlGuid))))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    // Any control GUID registers, as on Windows; only the session's own is ever enabled.
    m_registeredControlGuid = GuidText(controlGuid);
    m_record = record;
    m_registration = 0x5EED0001;
    *registration = m_registration;
    return win::kErrorSuccess;
}

std::string SimTraceRecorder::RefusalOf(uint64_t logger, uint32_t messageFlags, uint8_t level,
                                        const DecodedMessage& decoded) const {
    if (m_sessionLogger == 0 || logger != m_sessionLogger)
        return "no enabled session with this logger handle";
    if (messageFlags != kSessionMessageFlags)
        return "message flags " + std::to_string(messageFlags);
    if (decoded.level != level)
        return "sent at level " + std::to_string(level) + ", decoding file says " +
               std::to_string(decoded.level);
    if (decoded.level > m_sessionLevel)
        return "level " + std::to_string(decoded.level) + " above the enabled level";
    if ((decoded.flags & m_sessionFlags) == 0)
        return "flag outside the enabled flags";
    return "";
}

uint32_t SimTraceRecorder::Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                                   uint16_t number, uint8_t level, const TraceArg* args,
                                   size_t count) {
    std::string guid = GuidText(messageGuid);
    TracedEvent event{guid == kSimServiceMessageGuid ? TraceModule::kService : TraceModule::kDevice,
                      number,
                      level,
                      logger,
                      messageFlags,
                      {},
                      {}};
    for (size_t i = 0; i < count; ++i) {
        const auto* bytes = static_cast<const uint8_t*>(args[i].data);
        event.args.emplace_back(bytes, bytes + args[i].size);
    }
    std::string reason;
    std::optional<DecodedMessage> decoded;
    if (guid != kSimServiceMessageGuid && guid != kSimDeviceMessageGuid)
        reason = "unknown message GUID";
    else
        decoded =
            TraceMessageFormat::BuildDecodingFiles().Decode(guid, number, event.args, &reason);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (decoded)
        reason = RefusalOf(logger, messageFlags, level, *decoded);
    if (!reason.empty()) {
        m_undecodable.push_back(UndecodableEvent{guid, number, reason});
        return win::kErrorSuccess;  // TraceMessage succeeds; only the reader cannot use it
    }
    event.text = decoded->text;
    m_events.push_back(std::move(event));
    return win::kErrorSuccess;
}

uint32_t SimTraceRecorder::UnregisterProvider(uint64_t registration) {
    if (auto error = m_trace.Enter("UnregisterTraceGuids"))
        return *error;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (registration != m_registration || !m_record)
        return win::kErrorInvalidParameter;
    m_record = nullptr;
    m_registration = 0;
    return win::kErrorSuccess;
}

}  // namespace tav::sim
