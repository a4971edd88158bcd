#pragma once
// ForEachDeviceInterface: walks the interfaces of one class (at most 127 per walk) and
// calls a visitor for each whose path passes the prefix filter.

#include <functional>
#include <string>

#include "portlink/core/device_entry_list.h"
#include "portlink/core/port_link_platform.h"
#include "portlink/core/trace_provider.h"

namespace tav::portsvc {

// What one pass works with: the platform and the trace provider.
struct PassContext {
    const PortLinkPlatform& platform;
    TraceProvider& trace;
};

// Returns nonzero to go on with the walk, zero to stop it.
using InterfaceVisitor = int (*)(PassContext& ctx, DeviceEntryList& list,
                                 const std::u16string& devicePath, PlatformHandle devInfoSet,
                                 const win::DeviceInterfaceData& interfaceData);

// The same visitor for callers that collect something other than a DeviceEntryList.
using InterfaceVisit =
    std::function<int(const std::u16string& devicePath, PlatformHandle devInfoSet,
                      const win::DeviceInterfaceData& interfaceData)>;

inline constexpr uint32_t kMaxInterfacesPerWalk = 127;

// `prefixes`: UTF-16 strings ended by an empty string, or nullptr for no filter. With
// `presentOnly` off every registered interface is visited. Returns 0 when the walk ran to
// its end (or a visitor stopped it), else the error that ended it early; the pass ignores
// it, as the failure is traced.
uint32_t ForEachDeviceInterface(PassContext& ctx, const Guid& interfaceClass,
                                const char16_t* const* prefixes, const InterfaceVisit& visit,
                                bool presentOnly);
uint32_t ForEachDeviceInterface(PassContext& ctx, const Guid& interfaceClass,
                                const char16_t* const* prefixes, InterfaceVisitor visitor,
                                DeviceEntryList& list, bool presentOnly);

}  // namespace tav::portsvc
