#include "printer/settings/settings_protocol.h"

#include "printer/link/printer_link.h"
#include "printer/settings/text_query.h"

namespace tav::setup {

namespace {

template <size_t N>
uint32_t SizeOf(const std::array<uint8_t, N>&) {
    return static_cast<uint32_t>(N);
}

// Set requests are plain writes without a reply; delivered once the write completes.
template <size_t N>
int WriteSetRequest(PrinterChannel& channel, const std::array<uint8_t, N>& request) {
    return channel.Transact(0, request.data(), SizeOf(request), nullptr, 0, nullptr,
                            kSetRequestBudgetMs);
}

}  // namespace

uint8_t SettingsBlock::ResponseSwitch() const {
    return DecodeNibblePair(bytes[kResponseSwitchOffset], bytes[kResponseSwitchOffset + 1]);
}

uint8_t SwitchBlock::UsbClassSwitch() const {
    return DecodeNibblePair(bytes[kUsbClassSwitchOffset], bytes[kUsbClassSwitchOffset + 1]);
}

int ReadSettingsBlock(PrinterChannel& channel, SettingsBlock& block) {
    const SettingsRequest request = BuildSettingsRequest();
    block.count = 0;
    block.transacted =
        channel.Transact(win::kIoctlUsbprintVendorGetCommand, request.data(), SizeOf(request),
                         block.bytes, kSettingsBlockSize, &block.count, kSettingsReadBudgetMs) != 0;
    return block.transacted && block.count == kSettingsBlockSize;
}

int SetPrinterResponse(PrinterChannel& channel, uint8_t responseSwitch) {
    return WriteSetRequest(channel, BuildPrinterResponseRequest(responseSwitch));
}

int QueryUsbSerial(PrinterChannel& channel, PrinterTextField& text) {
    const UsbSerialQuery query = BuildUsbSerialQuery();
    return QueryPrinterText(channel, query.data(), SizeOf(query), text);
}

int QueryUnitSerial(PrinterChannel& channel, PrinterTextField& text) {
    const UnitSerialQuery query = BuildUnitSerialQuery();
    return QueryPrinterText(channel, query.data(), SizeOf(query), text);
}

int SetUsbSerial(PrinterChannel& channel, SerialMode mode, const char* text, size_t length) {
    return WriteSetRequest(channel, BuildUsbSerialRequest(mode, text, length));
}

int ReadSwitchBlock(PrinterChannel& channel, SwitchBlock& block) {
    const SwitchBlockRequest request = BuildSwitchBlockRequest();
    block.count = 0;
    block.transacted = channel.Transact(0, request.data(), SizeOf(request), block.bytes,
                                        kSwitchBlockSize, &block.count, kSwitchBlockBudgetMs) != 0;
    return block.transacted && block.count == kSwitchBlockSize;
}

int SetUsbClass(PrinterChannel& channel, uint8_t usbClassSwitch) {
    return WriteSetRequest(channel, BuildUsbClassRequest(usbClassSwitch));
}

}  // namespace tav::setup
