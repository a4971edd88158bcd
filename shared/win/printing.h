#pragma once
// The USB printing class driver's control codes and the spooler's enumeration flag.

#include <cstdint>

namespace tav::win {

// CTL_CODE(FILE_DEVICE_UNKNOWN, USBPRINT_IOCTL_INDEX + 13 / + 15, METHOD_BUFFERED,
// FILE_ANY_ACCESS).
inline constexpr uint32_t kIoctlUsbprintGet1284Id = 0x220034;
inline constexpr uint32_t kIoctlUsbprintVendorGetCommand = 0x22003C;

inline constexpr uint32_t kPrinterEnumLocal = 0x2;

}  // namespace tav::win
