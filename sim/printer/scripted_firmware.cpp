#include "sim/printer/scripted_firmware.h"

namespace tav::sim {

FirmwareReply ScriptedFirmware::Next(std::deque<FirmwareReply>& queue,
                                     const FirmwareReply& fallback) {
    if (queue.empty())
        return fallback;
    FirmwareReply reply = std::move(queue.front());
    queue.pop_front();
    return reply;
}

std::string ScriptedFirmware::Kinds() const {
    std::string kinds;
    for (const auto& r : m_requests)
        kinds += r.kind;
    return kinds;
}

FirmwareReply ScriptedFirmware::OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                                        uint32_t outSize) {
    m_requests.push_back(Request{'I', code, request, outSize});
    return Next(m_ioctls, defaultIoctl);
}

FirmwareReply ScriptedFirmware::OnWrite(const std::vector<uint8_t>& data) {
    m_requests.push_back(Request{'W', 0, data, 0});
    return Next(m_writes, defaultWrite);
}

FirmwareReply ScriptedFirmware::OnRead(uint32_t maxBytes) {
    m_requests.push_back(Request{'R', 0, {}, maxBytes});
    return Next(m_reads, defaultRead);
}

}  // namespace tav::sim
