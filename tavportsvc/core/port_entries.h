#pragma once
// The two visitors of a reconcile pass.

#include "tavportsvc/core/interface_walk.h"

namespace tav {

// Opens the port's hardware key, reads its link and appends (link, key). A port whose
// device data, key or link cannot be read is traced and left out. Always goes on.
int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& devicePath,
                 PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData);

// Appends (device path, no key). Always goes on.
int AddPrinterEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData);

}  // namespace tav
