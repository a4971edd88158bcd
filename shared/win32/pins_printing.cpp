// Pins shared/win/printing.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <winioctl.h>
#include <winspool.h>
// (after winioctl.h)
#include <usbprint.h>

#include "shared/win/printing.h"

namespace tav::win {

static_assert(kIoctlUsbprintGet1284Id == IOCTL_USBPRINT_GET_1284_ID, "IOCTL_USBPRINT_GET_1284_ID");
static_assert(kIoctlUsbprintVendorGetCommand == IOCTL_USBPRINT_VENDOR_GET_COMMAND,
              "IOCTL_USBPRINT_VENDOR_GET_COMMAND");
static_assert(kPrinterEnumLocal == PRINTER_ENUM_LOCAL, "PRINTER_ENUM_LOCAL");

}  // namespace tav::win
