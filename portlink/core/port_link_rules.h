#pragma once
// The decisions about ports and printers that the reconcile pass and the tavports tool
// share: which interfaces are ports, when a port is free, which port a printer is linked
// to, whether a printer is present, and which unit a printer path names.

#include <string>
#include <string_view>

#include "portlink/core/device_entry_list.h"

namespace tav::portsvc {

// Ports are the COM port interfaces of root-enumerated Ports devices; the prefix is
// compared without regard to letter case. The list ends with an empty string.
inline constexpr char16_t kPortPathPrefix[] = u"\\\\?\\ROOT#PORTS#";
extern const char16_t* const kPortPrefixes[2];

// A port whose link was read and is empty (value or subkey absent reads as empty).
bool IsFreeLink(const char16_t* link);

// The link names this printer: the whole path, letter case significant, as the pass
// compares it.
bool LinksTo(const char16_t* link, const char16_t* printerPath);

// A path that a link can hold and that reads back within the read limit; a longer one
// would never be found linked and would make every pass create another port.
bool IsLinkablePrinterPath(const char16_t* printerPath);

// The first port whose link names the printer, or nullptr.
DeviceEntry* PortLinkedTo(DeviceEntryList& ports, const char16_t* printerPath);

// The first free port in enumeration order, or nullptr.
DeviceEntry* FirstFreePort(DeviceEntryList& ports);

// The printer of a link is attached now: its path is among the present printers.
bool IsPrinterPresent(const DeviceEntryList& presentPrinters, const char16_t* printerPath);

// The unit serial a printer path carries: the instance part of "\\?\USB#VID_..#<serial>#{..}",
// the third '#'-separated field. Empty when the path has no such field.
std::u16string PrinterSerialFromPath(std::u16string_view printerPath);

}  // namespace tav::portsvc
