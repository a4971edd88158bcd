#pragma once
// Everything the service host reaches, simulated, in one place: one trace and one virtual
// clock shared by the registry, the service control manager, COM, the thread queues, the
// type-library functions and the executable image.

#include <string>
#include <vector>

#include "sim/call_log.h"
#include "sim/host/sim_com.h"
#include "sim/host/sim_host_service_manager.h"
#include "sim/registry/sim_registry.h"
#include "sim/virtual_clock.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::sim {

inline constexpr char16_t kSimServiceExePath[] = u"C:\\Program Files\\TAV\\Tavportsvc.exe";

struct SimHostWorld {
    SimTrace trace;
    VirtualClock clock;
    SimRegistry registry{trace, SimCaller::kAdministrator};
    SimHostServiceManager scm{trace, clock};
    SimComRuntime com{trace};
    SimThreadMessages messages{trace};
    SimTypeLibraries typeLibs{trace};
    SimModuleImage image{trace};
    portsvc::host::HostPlatform platform{registry, scm, scm, com, messages, typeLibs, image, clock};

    // The executable at kSimServiceExePath with string 100, the given registry script as
    // resource "REGISTRY" 101 and the type library {D3A85F1C-...} 1.0 in it; HKCR\AppID exists.
    explicit SimHostWorld(const std::vector<uint8_t>& registryScript);

    // Whose token the registry, the service control manager and the type-library
    // functions see (an elevated administrator unless set).
    void SetCaller(SimCaller caller);
    // The machine restarts: volatile registry keys are gone.
    void RestartMachine() { registry.RestartMachine(); }

    static portsvc::host::TypeLibAttributes ServiceTypeLib();
};

}  // namespace tav::sim
