#include "printer/settings/settings_requests.h"

namespace tav::setup {

namespace {

constexpr uint8_t kVendorSettingsRequestCode = 0x10;
constexpr uint8_t kResponseCommand[] = {0x77, 0x85};
constexpr uint8_t kUsbFamily = 0x75;  // 0x12 0x75 <n>: iSerialNumber and USB class
constexpr uint8_t kUsbSerialQueryCode = 0x02;
constexpr uint8_t kUsbClassCode = 0x03;
constexpr uint8_t kSwitchBlockCommand[] = {0x6C, 0xFF};
constexpr uint8_t kUnitSerialOpen = 0x40;
constexpr uint8_t kAccessPattern[] = {0x96, 0x69, 0x0F, 0xF0};
constexpr int kAccessPatternRepeats = 4;
constexpr uint8_t kUnitSerialTail[] = {0x50, 0x00, 0x01};

}  // namespace

uint8_t DecodeNibblePair(uint8_t low, uint8_t high) {
    return static_cast<uint8_t>(((high & 0x0F) << 4) | (low & 0x0F));
}

SettingsRequest BuildSettingsRequest() {
    return {kVendorSettingsRequestCode, 0x00, 0x00};
}

PrinterResponseRequest BuildPrinterResponseRequest(uint8_t responseSwitch) {
    return {kDc2, kResponseCommand[0], kResponseCommand[1], responseSwitch, 0x00,
            kDc2, kClosingByte};
}

UsbSerialQuery BuildUsbSerialQuery() {
    return {kDc2, kUsbFamily, kUsbSerialQueryCode};
}

UnitSerialQuery BuildUnitSerialQuery() {
    UnitSerialQuery q{};
    size_t n = 0;
    q[n++] = kDc1;
    q[n++] = kUnitSerialOpen;
    for (int i = 0; i < kAccessPatternRepeats; ++i) {
        for (uint8_t b : kAccessPattern)
            q[n++] = b;
    }
    for (uint8_t b : kUnitSerialTail)
        q[n++] = b;
    return q;
}

UsbSerialRequest BuildUsbSerialRequest(SerialMode mode, const char* text, size_t length) {
    UsbSerialRequest r{};  // text field and byte 13 start as zeros
    r[0] = kDc2;
    r[1] = kUsbFamily;
    r[2] = mode;
    if (mode == SerialModeManual && text != nullptr) {
        for (size_t i = 0; i < length && i < kUsbSerialTextSize; ++i)
            r[3 + i] = static_cast<uint8_t>(text[i]);
    }
    r[14] = kDc2;
    r[15] = kClosingByte;
    return r;
}

SwitchBlockRequest BuildSwitchBlockRequest() {
    SwitchBlockRequest r{};
    size_t n = 0;
    r[n++] = kDc2;
    r[n++] = kSwitchBlockCommand[0];
    r[n++] = kSwitchBlockCommand[1];
    for (size_t i = 0; i + 1 < sizeof kSwitchBlockKeyword; ++i)
        r[n++] = static_cast<uint8_t>(kSwitchBlockKeyword[i]);
    return r;
}

UsbClassRequest BuildUsbClassRequest(uint8_t usbClassSwitch) {
    return {kDc2, kUsbFamily, kUsbClassCode, usbClassSwitch, kDc2, kClosingByte};
}

uint8_t WithPrinterResponse(uint8_t responseSwitch, bool receive) {
    return receive ? static_cast<uint8_t>(responseSwitch | RESPONSE_RECEIVE_BIT)
                   : static_cast<uint8_t>(responseSwitch & ~RESPONSE_RECEIVE_BIT);
}

uint8_t WithUsbClassForMode(uint8_t usbClassSwitch, int32_t bSerialMode) {
    return bSerialMode != 0 ? static_cast<uint8_t>(usbClassSwitch | USB_CLASS_BIT)
                            : static_cast<uint8_t>(usbClassSwitch & ~USB_CLASS_BIT);
}

}  // namespace tav::setup
