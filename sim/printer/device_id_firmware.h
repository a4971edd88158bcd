#pragma once
// A printer that answers only the IEEE 1284 device ID request, with a configurable reply.
// Other control codes fail with ERROR_INVALID_FUNCTION; writes are taken whole; reads
// return no data.

#include <string>

#include "sim/printer_firmware.h"

namespace tav::sim {

class DeviceIdFirmware : public PrinterFirmware {
  public:
    explicit DeviceIdFirmware(const std::string& deviceId = "MFG:TAV;MDL:HX-P100;CMD:ESCPOS;");

    // The reply to the device ID request: its bytes, latency, pending or error.
    FirmwareReply& IdReply() { return m_idReply; }
    void SetDeviceId(const std::string& deviceId);
    int IdRequests() const { return m_idRequests; }

    FirmwareReply OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                          uint32_t outSize) override;
    FirmwareReply OnWrite(const std::vector<uint8_t>& data) override;
    FirmwareReply OnRead(uint32_t maxBytes) override;

  private:
    FirmwareReply m_idReply;
    int m_idRequests = 0;
};

}  // namespace tav::sim
