#include "sim/printer/device_id_firmware.h"
#include "sim/windows_values.h"

#include "printer/link/printer_link.h"
#include "shared/win/errors.h"

namespace tav::sim {

DeviceIdFirmware::DeviceIdFirmware(const std::string& deviceId) {
    SetDeviceId(deviceId);
}

void DeviceIdFirmware::SetDeviceId(const std::string& deviceId) {
    m_idReply.data.assign(deviceId.begin(), deviceId.end());
}

FirmwareReply DeviceIdFirmware::OnIoctl(uint32_t code, const std::vector<uint8_t>&, uint32_t) {
    if (code != sdk::kIoctlGet1284Id) {
        FirmwareReply refused;
        refused.error = win::kErrorInvalidFunction;
        return refused;
    }
    ++m_idRequests;
    return m_idReply;
}

FirmwareReply DeviceIdFirmware::OnWrite(const std::vector<uint8_t>&) {
    return FirmwareReply{};
}

FirmwareReply DeviceIdFirmware::OnRead(uint32_t) {
    return FirmwareReply{};
}

}  // namespace tav::sim
