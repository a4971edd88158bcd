#pragma once
// The requests the setting pages send to the printer: the vendor settings read, the set
// requests written to the data channel, the switch block read and the two text queries.
// Every request is one transaction on the channel; nothing is kept between requests.
// Results are nonzero on success; details of a failed transaction stay in the last error.

#include <cstddef>
#include <cstdint>

#include "printer/settings/printer_channel.h"
#include "printer/settings/settings_requests.h"
#include "printer/settings/text_reply.h"

namespace tav::setup {

inline constexpr uint32_t kSettingsReadBudgetMs = 1000;
inline constexpr uint32_t kSetRequestBudgetMs = 1000;
inline constexpr uint32_t kSwitchBlockBudgetMs = 1000;  // the write and the read together

// The vendor reply. `transacted` tells a failed transaction from a reply of the wrong
// length (the printer response page reports the two differently).
struct SettingsBlock {
    uint8_t bytes[kSettingsBlockSize] = {};
    uint32_t count = 0;
    bool transacted = false;
    uint8_t ResponseSwitch() const;
};

struct SwitchBlock {
    uint8_t bytes[kSwitchBlockSize] = {};
    uint32_t count = 0;
    bool transacted = false;
    uint8_t UsbClassSwitch() const;
};

// Succeeds only when the transaction succeeds and exactly 82 bytes return.
[[nodiscard]] int ReadSettingsBlock(PrinterChannel& channel, SettingsBlock& block);
[[nodiscard]] int SetPrinterResponse(PrinterChannel& channel, uint8_t responseSwitch);
[[nodiscard]] int QueryUsbSerial(PrinterChannel& channel, PrinterTextField& text);
[[nodiscard]] int QueryUnitSerial(PrinterChannel& channel, PrinterTextField& text);
// `text`: the Manual iSerialNumber as ANSI bytes (at most 10 are sent); ignored for Auto.
[[nodiscard]] int SetUsbSerial(PrinterChannel& channel, SerialMode mode, const char* text,
                               size_t length);
// Succeeds only when the transaction succeeds and its one read returns exactly 128 bytes.
[[nodiscard]] int ReadSwitchBlock(PrinterChannel& channel, SwitchBlock& block);
[[nodiscard]] int SetUsbClass(PrinterChannel& channel, uint8_t usbClassSwitch);

}  // namespace tav::setup
