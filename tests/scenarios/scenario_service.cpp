#include "tests/scenarios/scenario_service.h"
#include "sim/windows_values.h"

#include "shared/names.h"

namespace tav::test {
using namespace tav::portsvc;

namespace {
constexpr PlatformHandle kServiceStatusHandle = 0x5151;
}

ScenarioService::ScenarioService(sim::SimTrace& trace, sim::DeviceTree& tree)
    : m_ports(trace, tree) {}

std::set<std::u16string> ScenarioService::PresentPrinterInterfaces() const {
    std::set<std::u16string> paths;
    for (const auto& i : m_ports.tree.Interfaces(sim::sdk::kPrinterDriverInterface, true))
        paths.insert(i.path);
    return paths;
}

ScenarioService::~ScenarioService() {
    Stop();
}

void ScenarioService::Start() {
    if (m_core)
        return;
    ++starts;
    m_core = std::make_unique<PortLinkCore>(m_ports.Platform());
    m_seen = PresentPrinterInterfaces();
    // A failed start shows in the scenario's own checks (no notification registered).
    static_cast<void>(m_core->StartHook([] { return win::kSOk; }, kServiceStatusHandle));
}

void ScenarioService::Stop() {
    if (!m_core)
        return;
    ++stops;
    static_cast<void>(m_core->StopHook([] { return win::kSOk; }));  // base steps give S_OK
    m_core.reset();
}

bool ScenarioService::Running() const {
    return m_core != nullptr;
}

void ScenarioService::DeliverDeviceEvents() {
    if (!m_core)
        return;
    std::set<std::u16string> now = PresentPrinterInterfaces();
    if (now == m_seen)
        return;
    m_seen = std::move(now);
    ++deviceEvents;
    static_cast<void>(m_core->OnDeviceEvent());  // always NO_ERROR
}

void ScenarioService::InstallInfPackage() {
    m_ports.InstallInfPackage();
}

std::u16string ScenarioService::AddPort() {
    return m_ports.AddPort();
}

std::vector<std::u16string> ScenarioService::Ports() const {
    // A printer in virtual-serial mode is a Ports-class device too; ports are root devices.
    std::vector<std::u16string> ports;
    for (auto& id : m_ports.Ports())
        if (id.rfind(u"ROOT\\PORTS\\", 0) == 0)
            ports.push_back(id);
    return ports;
}

std::u16string ScenarioService::ComName(const std::u16string& port) const {
    return m_ports.ComName(port);
}

std::optional<std::u16string> ScenarioService::Link(const std::u16string& port) const {
    return m_ports.Link(port);
}

void ScenarioService::SetUtilityMutex(sim::UtilityMutex state) {
    m_ports.sync.SetUtilityMutex(state);
}

sim::UtilityMutex ScenarioService::UtilityMutex() const {
    return m_ports.sync.UtilityMutexState();
}

}  // namespace tav::test
