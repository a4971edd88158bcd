#include "portlink/core/trace_provider.h"

#include "shared/u16.h"

namespace tav::portsvc {

namespace {
constexpr char16_t kMissingU16[] = u"NULL";
constexpr char16_t kEmptyU16[] = u"<NULL>";
constexpr char kMissingNarrow[] = "NULL";
}  // namespace

TraceArg EncodeTraceArg(const uint32_t& value) {
    return TraceArg{&value, sizeof(uint32_t)};
}

TraceArg EncodeTraceArg(const TraceU16& value) {
    if (!value.text)
        return TraceArg{kMissingU16, sizeof(kMissingU16)};
    if (value.text[0] == 0)
        return TraceArg{kEmptyU16, sizeof(kEmptyU16)};
    return TraceArg{value.text, static_cast<uint32_t>((U16Length(value.text) + 1) * 2)};
}

TraceArg EncodeTraceArg(const TraceNarrow& value) {
    if (!value.text)
        return TraceArg{kMissingNarrow, sizeof(kMissingNarrow)};
    return TraceArg{value.text, static_cast<uint32_t>(std::strlen(value.text) + 1)};
}

void TraceProvider::Start() {
    uint64_t registration = 0;
    if (m_backEnd->RegisterProvider(kTraceControlGuid, &m_record, &registration) == 0)
        m_record.registration.store(registration, std::memory_order_relaxed);
}

void TraceProvider::Stop() {
    uint64_t registration = m_record.registration.exchange(0, std::memory_order_relaxed);
    if (registration != 0)
        m_backEnd->UnregisterProvider(registration);
}

bool TraceProvider::Enabled(uint8_t level) const {
    if (m_record.registration.load(std::memory_order_relaxed) == 0)
        return false;
    if ((m_record.flags.load(std::memory_order_relaxed) & kTraceFlagGeneral) == 0)
        return false;
    return m_record.level.load(std::memory_order_relaxed) >= level;
}

void TraceProvider::Send(TraceModule module, uint16_t number, uint8_t level, const TraceArg* args,
                         size_t count) {
    m_backEnd->Message(m_record.logger.load(std::memory_order_relaxed), kTraceMessageFlags,
                       MessageGuidOf(module), number, level, args, count);
}

}  // namespace tav::portsvc
