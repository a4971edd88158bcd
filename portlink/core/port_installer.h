#pragma once
// The virtual port installer: a new root-enumerated port device node from the Tavport
// INF, and the driver installed on every device with the port driver's hardware ID.

#include <cstdint>

#include "portlink/core/device_install_api.h"
#include "portlink/core/setup_di_api.h"
#include "portlink/core/trace_provider.h"

namespace tav::portsvc {

enum PortInstallResult : uint32_t {
    kPortInstallDone = 0,
    kPortInstallDoneRestart = 1,  // installed; the system asks for a restart
    kPortInstallFailed = 2,
    kPortInstallBadPath = 3,  // path absent or empty
};

inline constexpr char16_t kPortHardwareId[] = u"ROOT\\PORTS\\Tavport\\0000";
inline constexpr char16_t kNewdevDll[] = u"newdev.dll";
inline constexpr char kUpdateDriverExport[] = "UpdateDriverForPlugAndPlayDevicesW";

// Registers a new device node of the INF's class carrying kPortHardwareId: the INF's path
// is made absolute through `files`, the node is made through `setupDi`.
[[nodiscard]] uint32_t CreatePortDevice(SetupDiApi& setupDi, DeviceInstallApi& files,
                                        TraceProvider& trace, const char16_t* infPath);

// Installs the INF's driver on all devices with kPortHardwareId; newdev.dll is bound by
// name for the call and unloaded afterwards.
[[nodiscard]] uint32_t InstallPortDriver(DeviceInstallApi& api, TraceProvider& trace,
                                         const char16_t* infPath);

}  // namespace tav::portsvc
