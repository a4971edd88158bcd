#pragma once
// The printer's three settings as operations that need no window: read, decide and write,
// with a hook between the decision and the write (the pages open their watch window there;
// a console tool notes the printer's departure). The setting pages and tavprinter both call
// them, so a request is built and decided in one place.

#include <cstdint>
#include <functional>
#include <string>

#include "printer/settings/printer_channel.h"
#include "printer/settings/settings_requests.h"
#include "printer/settings/text_reply.h"

namespace tav::setup {

// How a read went: the reply was there and well formed, no reply came (the transaction
// failed), or a reply came but was not what the printer sends.
enum class SettingRead { kRead, kNoReply, kInvalidReply };

struct ResponseSetting {
    uint8_t switchByte = 0;  // the response switch byte as read
    bool receive = false;    // bit 3 set
};

// The response switch byte from the settings block.
[[nodiscard]] SettingRead ReadResponseSetting(PrinterChannel& channel, ResponseSetting* setting);

// Called after the decision, right before the set request goes out.
using BeforeSetRequest = std::function<void()>;

// Writes the response switch byte with "Receive" set or cleared, other bits as read.
[[nodiscard]] int WriteResponseSetting(PrinterChannel& channel, uint8_t switchByte, bool receive,
                                       const BeforeSetRequest& beforeWrite);

// Turns the printer to the other driver type: the switch block is read first (nothing is
// written when that fails), then the class request with bit 0 equal to `bSerialMode`.
[[nodiscard]] int WriteDriverTypeSwitch(PrinterChannel& channel, int32_t bSerialMode,
                                        const BeforeSetRequest& beforeWrite);

// The iSerialNumber: Auto, or Manual with up to 10 ANSI bytes (none: no iSerialNumber).
[[nodiscard]] int WriteUsbSerial(PrinterChannel& channel, SerialMode mode,
                                 const std::string& ansiText, const BeforeSetRequest& beforeWrite);

// The USB iSerialNumber as the printer reports it; false when the query failed.
[[nodiscard]] bool ReadUsbSerial(PrinterChannel& channel, PrinterTextField& text);

}  // namespace tav::setup
