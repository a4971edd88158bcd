#include "tests/scenarios/scenario_service.h"

#include <set>

#include "shared/names.h"
#include "sim/ports/sim_port_world.h"
#include "tavportsvc/core/port_link_core.h"

namespace tav::test {

namespace {
constexpr PlatformHandle kServiceStatusHandle = 0x5151;
}

struct ScenarioService::World {
    World(sim::SimTrace& trace, sim::DeviceTree& tree) : ports(trace, tree) {}

    std::set<std::u16string> PresentPrinterInterfaces() const {
        std::set<std::u16string> paths;
        for (const auto& i : ports.tree.Interfaces(kPrinterInterfaceClass, true))
            paths.insert(i.path);
        return paths;
    }

    sim::SimPortWorld ports;
    std::unique_ptr<PortLinkCore> core;
    std::set<std::u16string> seen;
};

ScenarioService::ScenarioService(sim::SimTrace& trace, sim::DeviceTree& tree)
    : m_world(std::make_unique<World>(trace, tree)) {}

ScenarioService::~ScenarioService() {
    Stop();
}

void ScenarioService::Start() {
    if (m_world->core)
        return;
    ++starts;
    m_world->core = std::make_unique<PortLinkCore>(m_world->ports.Platform());
    m_world->seen = m_world->PresentPrinterInterfaces();
    m_world->core->StartHook([] { return win::kSOk; }, kServiceStatusHandle);
}

void ScenarioService::Stop() {
    if (!m_world->core)
        return;
    ++stops;
    m_world->core->StopHook([] { return win::kSOk; });
    m_world->core.reset();
}

bool ScenarioService::Running() const {
    return m_world->core != nullptr;
}

void ScenarioService::DeliverDeviceEvents() {
    if (!m_world->core)
        return;
    std::set<std::u16string> now = m_world->PresentPrinterInterfaces();
    if (now == m_world->seen)
        return;
    m_world->seen = std::move(now);
    ++deviceEvents;
    m_world->core->OnDeviceEvent();
}

void ScenarioService::InstallInfPackage() {
    m_world->ports.InstallInfPackage();
}

std::u16string ScenarioService::AddPort() {
    return m_world->ports.AddPort();
}

std::vector<std::u16string> ScenarioService::Ports() const {
    // A printer in virtual-serial mode is a Ports-class device too; ports are root devices.
    std::vector<std::u16string> ports;
    for (auto& id : m_world->ports.Ports())
        if (id.rfind(u"ROOT\\PORTS\\", 0) == 0)
            ports.push_back(id);
    return ports;
}

std::optional<std::u16string> ScenarioService::Link(const std::u16string& port) const {
    return m_world->ports.Link(port);
}

void ScenarioService::SetUtilityMutex(SetupMutex state) {
    static constexpr sim::UtilityMutex kStates[] = {
        sim::UtilityMutex::kAbsent, sim::UtilityMutex::kHeld, sim::UtilityMutex::kFree};
    m_world->ports.sync.SetUtilityMutex(kStates[static_cast<int>(state)]);
}

SetupMutex ScenarioService::UtilityMutex() const {
    switch (m_world->ports.sync.UtilityMutexState()) {
        case sim::UtilityMutex::kHeld:
            return SetupMutex::kHeld;
        case sim::UtilityMutex::kAbsent:
            return SetupMutex::kAbsent;
        default:
            return SetupMutex::kFree;
    }
}

}  // namespace tav::test
