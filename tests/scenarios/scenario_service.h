#pragma once
// The port link service in the simulated machine: the port world on the machine's device
// tree, one PortLinkCore per service run (start hook on start, stop hook on stop), and the
// device events the service receives when a printer interface arrives or leaves.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <set>

#include "portlink/core/port_link_core.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_port_world.h"

namespace tav::test {

class ScenarioService {
  public:
    ScenarioService(sim::SimTrace& trace, sim::DeviceTree& tree);
    ~ScenarioService();
    ScenarioService(const ScenarioService&) = delete;
    ScenarioService& operator=(const ScenarioService&) = delete;

    // The service control manager starts / stops the process.
    void Start();
    void Stop();
    bool Running() const;

    // Delivers the device events the printer interface changes since the last call caused:
    // one SERVICE_CONTROL_DEVICEEVENT, hence one pass, per change.
    void DeliverDeviceEvents();

    // --- the port world ---
    void InstallInfPackage();
    std::u16string AddPort();
    // The port driver's root-enumerated ports, in order.
    std::vector<std::u16string> Ports() const;
    std::optional<std::u16string> Link(const std::u16string& port) const;
    std::u16string ComName(const std::u16string& port) const;
    // The utility's named mutex as the service's probe finds it.
    void SetUtilityMutex(sim::UtilityMutex state);
    sim::UtilityMutex UtilityMutex() const;

    int starts = 0;
    int stops = 0;
    int deviceEvents = 0;

  private:
    std::set<std::u16string> PresentPrinterInterfaces() const;

    sim::SimPortWorld m_ports;
    std::unique_ptr<portsvc::PortLinkCore> m_core;
    std::set<std::u16string> m_seen;
};

}  // namespace tav::test
