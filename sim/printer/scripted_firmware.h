#pragma once
// A printer whose answers are queued by a test, one per operation, and which records every
// request it was given. An empty queue answers with the kind's default reply.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/printer_firmware.h"

namespace tav::sim {

class ScriptedFirmware : public PrinterFirmware {
  public:
    struct Request {
        char kind;  // 'I' control code, 'W' write, 'R' read
        uint32_t code = 0;
        std::vector<uint8_t> data;  // IOCTL input or written bytes
        uint32_t size = 0;          // reply capacity (IOCTL output or read size)
    };

    void QueueIoctl(FirmwareReply reply) { m_ioctls.push_back(std::move(reply)); }
    void QueueWrite(FirmwareReply reply) { m_writes.push_back(std::move(reply)); }
    void QueueRead(FirmwareReply reply) { m_reads.push_back(std::move(reply)); }
    FirmwareReply defaultIoctl;
    FirmwareReply defaultWrite;
    FirmwareReply defaultRead;

    const std::vector<Request>& Requests() const { return m_requests; }
    std::string Kinds() const;  // e.g. "WR": a write, then a read

    FirmwareReply OnIoctl(uint32_t code, const std::vector<uint8_t>& request,
                          uint32_t outSize) override;
    FirmwareReply OnWrite(const std::vector<uint8_t>& data) override;
    FirmwareReply OnRead(uint32_t maxBytes) override;

  private:
    static FirmwareReply Next(std::deque<FirmwareReply>& queue, const FirmwareReply& fallback);
    std::deque<FirmwareReply> m_ioctls;
    std::deque<FirmwareReply> m_writes;
    std::deque<FirmwareReply> m_reads;
    std::vector<Request> m_requests;
};

}  // namespace tav::sim
