#pragma once
// The two visitors of a reconcile pass, the two enumerations they serve, and the port key
// and link reads they are made of (shared with the tavports tool, which reads ports the
// same way).

#include "portlink/core/interface_walk.h"
#include "portlink/core/port_link_value.h"

namespace tav::portsvc {

// Opens the port's hardware key with `access`, or returns no key with the failing call's
// error in `*error` (traced as event 12 or 13).
OwnedRegistryKey OpenPortKey(PassContext& ctx, PlatformHandle devInfoSet,
                             const win::DeviceInterfaceData& interfaceData, uint32_t access,
                             uint32_t* error);

// A link buffer: the read limit and one unit that stays NUL whatever the read leaves.
using PortLinkBuffer = char16_t[kLinkBufferUnits];

// Reads "Tavportsvc" \ "SymbolicLink" under an open port key. Returns 0 with the link (an
// empty text when the subkey or value is absent), or the error that makes it unreadable
// (too long, not REG_SZ, ...).
uint32_t ReadPortLink(RegistryApi& registry, PlatformHandle portKey, PortLinkBuffer& link);

// The port's COM name ("PortName" of its hardware key), or empty when it cannot be read.
// COM names are short ("COM256"); a longer value reads as empty.
std::u16string ReadPortComName(RegistryApi& registry, PlatformHandle portKey);

// Opens the port's hardware key, reads its link and appends (link, key). A port whose
// device data, key or link cannot be read is traced and left out. Always goes on.
int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& devicePath,
                 PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData);

// Appends (device path, no key). Always goes on.
int AddPrinterEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData);

// Every registered port interface (present or not), in enumeration order.
uint32_t WalkPorts(PassContext& ctx, const InterfaceVisit& visit);
// The ports as a pass sees them: (link, open key) per readable port.
uint32_t EnumeratePorts(PassContext& ctx, DeviceEntryList& ports);
// The printers present now: (path, no key).
uint32_t EnumeratePrinters(PassContext& ctx, DeviceEntryList& printers);

}  // namespace tav::portsvc
