#pragma once
// The port link service in the simulated machine: the port world on the machine's device
// tree, one PortLinkCore per service run (start hook on start, stop hook on stop), and the
// device events the service receives when a printer interface arrives or leaves.
// The two programs' headers never meet in one translation unit (they are separate
// programs with names of their own), so the service's world stays behind this class.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/call_log.h"
#include "sim/device_tree.h"

namespace tav::test {

// The utility's named mutex as the service's probe finds it.
enum class SetupMutex { kAbsent, kHeld, kFree };

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
    void SetUtilityMutex(SetupMutex state);
    SetupMutex UtilityMutex() const;

    int starts = 0;
    int stops = 0;
    int deviceEvents = 0;

  private:
    struct World;
    std::unique_ptr<World> m_world;
};

}  // namespace tav::test
