#pragma once
// The service's simulated world in one place: root-enumerated ports (Ports class, COM port
// interfaces, hardware keys with their links), printers in virtual-serial mode, SetupDi's
// device information sets, the port driver's INF and installer, the utility's mutex, the
// trace recorder and the Application log (with the service's source registered, as the
// package registers it, and its own virtual clock for the entries' times). Platform() is
// what PortLinkCore takes. The DeviceTree and SimTrace are shared with other simulations.

#include <optional>
#include <string>

#include "portlink/core/port_link_platform.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_device_installer.h"
#include "sim/ports/sim_event_log.h"
#include "sim/ports/sim_inf_files.h"
#include "sim/ports/sim_setup_di.h"
#include "sim/ports/sim_small_apis.h"
#include "sim/ports/sim_sync.h"
#include "sim/ports/sim_trace_recorder.h"
#include "sim/registry/sim_registry.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

// Where the service looks for the INF in the simulated world.
inline constexpr char16_t kSimInfPath[] =
    u"C:\\Program Files (x86)\\TAV\\HX Series Printer\\Tavport\\Tavport.inf";

class SimPortWorld {
  public:
    SimPortWorld(SimTrace& trace, DeviceTree& tree);

    portsvc::PortLinkPlatform Platform();

    // A root-enumerated Tavport port with its COM port interface (registered, present), a
    // COM name ("PortName": COM3, COM4, ... in order of creation) and, when given, a link value of
    // `linkType` (raw UTF-16 with its NUL). Returns its instance id ("ROOT\PORTS\0000").
    std::u16string AddPort(const std::optional<std::u16string>& link = std::nullopt,
                           uint32_t linkType = sdk::kRegSz);
    // A printer in virtual-serial mode: a present interface of the printer class. Returns
    // the device path.
    std::u16string AddPrinter(const std::u16string& serial);
    void UnplugPrinter(const std::u16string& serial);
    void PlugPrinter(const std::u16string& serial);
    static std::u16string PrinterInstanceId(const std::u16string& serial);
    static std::u16string PortInterfacePath(const std::u16string& instanceId);

    // The port's link as a REG_SZ text (without the NUL), or none when absent or of
    // another type.
    std::optional<std::u16string> Link(const std::u16string& portInstanceId) const;
    // Instance ids of the ports (Ports class devices with a COM port interface), in order.
    std::vector<std::u16string> Ports() const;
    // The port's "PortName", or empty when it has none.
    std::u16string ComName(const std::u16string& portInstanceId) const;
    // Puts the Tavport INF where the service looks for it.
    void InstallInfPackage();

    // The machine restarts: volatile registry keys are gone.
    void RestartMachine() { registry.RestartMachine(); }

    // Everything a pass must give back: open keys, sets, modules, list nodes.
    int OpenRegistryKeys() const { return static_cast<int>(registry.OpenHandleCount()); }

    SimTrace& trace;
    DeviceTree& tree;
    SimRegistry registry;
    SimInfFiles infFiles;
    SimSetupDi setupDi;
    SimSync sync;
    SimShellFolder shell;
    SimDeviceInstaller installer;
    SimDeviceNotify notify;
    SimTraceRecorder recorder;
    VirtualClock clock;
    SimEventLog eventLog;

  private:
    // Gives a port the next free COM name unless it has one.
    void AssignComName(const std::u16string& portInstanceId);
    int m_nextComNumber = 3;
};

}  // namespace tav::sim
