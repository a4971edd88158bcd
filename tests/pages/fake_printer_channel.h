#pragma once
// A printer behind the settings protocol for the page tests: it answers the vendor read,
// the switch block query and the two text queries from its settings, records every request
// in the shared event list, and can fail any of them. Time is virtual: a read that finds
// nothing uses up its budget.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "printer/settings/printer_channel.h"
#include "sim/virtual_clock.h"

namespace tav::test {

class FakePrinterChannel : public setup::PrinterChannel {
  public:
    explicit FakePrinterChannel(std::vector<std::string>& events) : m_events(events) {}

    // --- what the printer answers ---
    std::optional<std::string> unitSerial = std::string("D8K0012345");  // none: no answer
    std::optional<std::string> usbSerial = std::string("D8K0012345");
    bool settingsTransacts = true;  // false: the vendor request fails
    uint32_t settingsSize = 82;     // bytes the vendor request returns
    uint8_t settingsByte9 = 0x3A;
    uint8_t settingsByte10 = 0x27;
    bool switchAnswers = true;  // false: the switch block read gets nothing
    uint32_t switchSize = 128;
    uint8_t usbClassSwitch = 0x25;
    bool setRequestsFail = false;  // set requests cannot be written

    // --- what it received ---
    std::vector<std::vector<uint8_t>> setRequests;  // written requests beginning 0x12 0x75/0x77
    int vendorReads = 0;
    int textQueries = 0;
    int switchQueries = 0;

    int Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize, void* outBuffer,
                 uint32_t outSize, uint32_t* pCount, uint32_t budgetMs) override;
    Clock& GetClock() override { return clock; }

    sim::VirtualClock clock;

  private:
    int VendorRead(void* outBuffer, uint32_t outSize, uint32_t* pCount);
    int Write(const std::vector<uint8_t>& bytes);
    int Read(void* outBuffer, uint32_t outSize, uint32_t* pCount, uint32_t budgetMs);
    void QueueText(const std::optional<std::string>& text);

    std::vector<std::string>& m_events;
    std::deque<std::vector<uint8_t>> m_replies;
};

// "write 12 75 03 25 12 40": how the event list shows a written request.
std::string WriteEvent(const std::vector<uint8_t>& bytes);

}  // namespace tav::test
