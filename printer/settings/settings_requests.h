#pragma once
// The bytes of every request the utility sends to the printer, and the decoding of the
// switch bytes it reads back. Pure functions: no I/O, no state.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tav::setup {

// Response switch byte, bit 3: set = printer response "Receive".
inline constexpr uint8_t RESPONSE_RECEIVE_BIT = 0x08;
// USB class switch byte, bit 0: 1 = printing class ("Printer Driver"), 0 = virtual serial.
inline constexpr uint8_t USB_CLASS_BIT = 0x01;

// Third byte of the iSerialNumber set request.
enum SerialMode : uint8_t {
    SerialModeAuto = 0,    // iSerialNumber follows the unit serial number
    SerialModeManual = 1,  // the text field (all zeros: no iSerialNumber)
};

inline constexpr uint8_t kDc1 = 0x11;
inline constexpr uint8_t kDc2 = 0x12;
inline constexpr uint8_t kStx = 0x02;
inline constexpr uint8_t kClosingByte = 0x40;  // DC2 0x40 ends every set request

inline constexpr uint32_t kSettingsBlockSize = 82;
inline constexpr uint32_t kSwitchBlockSize = 128;
inline constexpr size_t kResponseSwitchOffset = 9;    // and 10
inline constexpr size_t kUsbClassSwitchOffset = 109;  // and 110
inline constexpr size_t kUsbSerialTextSize = 10;

// The printer answers the switch block query only when it carries this keyword.
inline constexpr char kSwitchBlockKeyword[] = "TAVSWITCHQ";
static_assert(sizeof kSwitchBlockKeyword - 1 == 10, "the keyword is ten letters");

using SettingsRequest = std::array<uint8_t, 3>;
using PrinterResponseRequest = std::array<uint8_t, 7>;
using UsbSerialQuery = std::array<uint8_t, 3>;
using UnitSerialQuery = std::array<uint8_t, 21>;
using UsbSerialRequest = std::array<uint8_t, 16>;
using SwitchBlockRequest = std::array<uint8_t, 13>;
using UsbClassRequest = std::array<uint8_t, 6>;

// A switch byte carried in the low nibbles of two bytes: bits 0-3 first, bits 4-7 second.
uint8_t DecodeNibblePair(uint8_t low, uint8_t high);

SettingsRequest BuildSettingsRequest();
PrinterResponseRequest BuildPrinterResponseRequest(uint8_t responseSwitch);
UsbSerialQuery BuildUsbSerialQuery();
UnitSerialQuery BuildUnitSerialQuery();
// Auto: the text field is zeros whatever `text` holds. Manual: up to 10 bytes of `text`,
// zero-filled; an empty text means "no iSerialNumber".
UsbSerialRequest BuildUsbSerialRequest(SerialMode mode, const char* text, size_t length);
SwitchBlockRequest BuildSwitchBlockRequest();
UsbClassRequest BuildUsbClassRequest(uint8_t usbClassSwitch);

// The response switch byte with bit 3 set ("Receive") or cleared, other bits unchanged.
uint8_t WithPrinterResponse(uint8_t responseSwitch, bool receive);
// The USB class switch byte with bit 0 equal to bSerialMode, which turns the printer to
// the other driver type; other bits unchanged.
uint8_t WithUsbClassForMode(uint8_t usbClassSwitch, int32_t bSerialMode);

}  // namespace tav::setup
