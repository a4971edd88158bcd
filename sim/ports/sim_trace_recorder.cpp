#include "sim/ports/sim_trace_recorder.h"

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
    int reads = 0;
    FixedEnableRequest request(logger, level, flags, reads);
    uint32_t result = TraceControlCallback(requestCode, *record, replySize, request);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enableFieldReads += reads;
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
    if (controlGuid != kTraceControlGuid)
        return win::kErrorInvalidParameter;
    m_record = record;
    m_registration = 0x5EED0001;
    *registration = m_registration;
    return win::kErrorSuccess;
}

uint32_t SimTraceRecorder::Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                                   uint16_t number, uint8_t level, const TraceArg* args,
                                   size_t count) {
    TracedEvent event{
        messageGuid == kServiceModuleMessageGuid ? TraceModule::kService : TraceModule::kDevice,
        number,
        level,
        logger,
        messageFlags,
        {}};
    for (size_t i = 0; i < count; ++i) {
        const auto* bytes = static_cast<const uint8_t*>(args[i].data);
        event.args.emplace_back(bytes, bytes + args[i].size);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
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
