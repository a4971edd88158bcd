#pragma once
// What a simulated printer answers. The simulated device I/O (the transport's side: open,
// overlapped operations, latency, cancellation) asks the firmware of the device that owns
// the opened interface path what each operation does; the firmware decides the content
// and how long the operation takes.

#include <cstdint>
#include <vector>

namespace tav::sim {

struct FirmwareReply {
    std::vector<uint8_t> data;       // IOCTL or read: reply bytes (cut to the caller's buffer)
    uint32_t accepted = 0xFFFFFFFF;  // write: bytes taken (all by default; fewer = short write)
    uint32_t delayMs = 0;            // 0: completes at once; otherwise pending for this long
    bool never = false;              // stays pending until cancelled
    uint32_t error = 0;              // nonzero: the operation fails with this Win32 error
};

class PrinterFirmware {
  public:
    virtual ~PrinterFirmware() = default;
    virtual FirmwareReply OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                                  uint32_t outSize) = 0;
    virtual FirmwareReply OnWrite(const std::vector<uint8_t>& data) = 0;
    virtual FirmwareReply OnRead(uint32_t maxBytes) = 0;
};

}  // namespace tav::sim
