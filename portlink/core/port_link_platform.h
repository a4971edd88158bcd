#pragma once
// Everything the port link core reaches outside itself. The service builds it from the
// Win32 adapters (win32/win32_port_link_platform.h), tests and the demo from the simulated
// world (sim/ports/sim_port_world.h). The pointers are not owned and must outlive the core.

#include "portlink/core/device_install_api.h"
#include "portlink/core/device_notify_api.h"
#include "portlink/core/event_log_api.h"
#include "portlink/core/registry_api.h"
#include "portlink/core/setup_di_api.h"
#include "portlink/core/shell_folder_api.h"
#include "portlink/core/sync_api.h"
#include "portlink/core/trace_back_end.h"

namespace tav::portsvc {

struct PortLinkPlatform {
    SetupDiApi* setupDi = nullptr;
    RegistryApi* registry = nullptr;
    SyncApi* sync = nullptr;
    ShellFolderApi* shell = nullptr;
    DeviceInstallApi* installer = nullptr;
    DeviceNotifyApi* notify = nullptr;
    TraceBackEnd* trace = nullptr;
    // Null where nothing goes to the Event Log (the consoles).
    EventLogApi* eventLog = nullptr;
};

}  // namespace tav::portsvc
