// Pins shared/win/pnp.h, files.h, printing.h, trace.h and startup.h to the SDK's values.
#include <windows.h>
// (after windows.h)
#include <cfgmgr32.h>
#include <commctrl.h>
#include <evntrace.h>
#include <sddl.h>
#include <winspool.h>
#include <winioctl.h>
#include <wmistr.h>
// (after winioctl.h)
#include <usbprint.h>

#include "shared/win/files.h"
#include "shared/win/pnp.h"
#include "shared/win/printing.h"
#include "shared/win/startup.h"
#include "shared/win/trace.h"

namespace tav::win {

static_assert(kCrSuccess == CR_SUCCESS, "CR_SUCCESS");
static_assert(kCmLocateDevnodeNormal == CM_LOCATE_DEVNODE_NORMAL, "CM_LOCATE_DEVNODE_NORMAL");
static_assert(kCmReenumerateNormal == CM_REENUMERATE_NORMAL, "CM_REENUMERATE_NORMAL");
static_assert(kMaxDeviceIdLen == MAX_DEVICE_ID_LEN, "MAX_DEVICE_ID_LEN");

static_assert(kMaxPath == MAX_PATH, "MAX_PATH");
static_assert(kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY, "FILE_ATTRIBUTE_DIRECTORY");
static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES, "INVALID_FILE_ATTRIBUTES");

static_assert(kIoctlUsbprintGet1284Id == IOCTL_USBPRINT_GET_1284_ID, "IOCTL_USBPRINT_GET_1284_ID");
static_assert(kIoctlUsbprintVendorGetCommand == IOCTL_USBPRINT_VENDOR_GET_COMMAND,
              "IOCTL_USBPRINT_VENDOR_GET_COMMAND");
static_assert(kPrinterEnumLocal == PRINTER_ENUM_LOCAL, "PRINTER_ENUM_LOCAL");

static_assert(kWmiEnableEvents == WMI_ENABLE_EVENTS, "WMI_ENABLE_EVENTS");
static_assert(kWmiDisableEvents == WMI_DISABLE_EVENTS, "WMI_DISABLE_EVENTS");
static_assert(kTraceLevelError == TRACE_LEVEL_ERROR, "TRACE_LEVEL_ERROR");
static_assert(kTraceLevelInformation == TRACE_LEVEL_INFORMATION, "TRACE_LEVEL_INFORMATION");
static_assert(kTraceMessageSequence == TRACE_MESSAGE_SEQUENCE, "TRACE_MESSAGE_SEQUENCE");
static_assert(kTraceMessageGuid == TRACE_MESSAGE_GUID, "TRACE_MESSAGE_GUID");
static_assert(kTraceMessageTimestamp == TRACE_MESSAGE_TIMESTAMP, "TRACE_MESSAGE_TIMESTAMP");
static_assert(kTraceMessageSystemInfo == TRACE_MESSAGE_SYSTEMINFO, "TRACE_MESSAGE_SYSTEMINFO");

static_assert(kInitCommonControlsSize == sizeof(INITCOMMONCONTROLSEX), "INITCOMMONCONTROLSEX");
static_assert(kIccWin95Classes == ICC_WIN95_CLASSES, "ICC_WIN95_CLASSES");
static_assert(kSddlRevision1 == SDDL_REVISION_1, "SDDL_REVISION_1");

}  // namespace tav::win
