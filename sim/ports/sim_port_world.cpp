#include "sim/ports/sim_port_world.h"

#include "portlink/core/port_installer.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

// A REG_SZ value's text up to its first NUL.
std::u16string SzText(const SimRegValue& value) {
    std::u16string text;
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
        auto c = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
        if (c == 0)
            break;
        text += c;
    }
    return text;
}

// Where the port driver takes a port's printer from: its own names, not the service's.
constexpr char16_t kPortLinkSubKey[] = u"Tavportsvc";
constexpr char16_t kPortLinkValue[] = u"SymbolicLink";

}  // namespace

SimPortWorld::SimPortWorld(SimTrace& simTrace, DeviceTree& deviceTree)
    : trace(simTrace),
      tree(deviceTree),
      registry(simTrace, SimCaller::kLocalSystem),
      setupDi(simTrace, deviceTree, registry, infFiles),
      sync(simTrace),
      shell(simTrace),
      installer(simTrace, deviceTree, infFiles),
      notify(simTrace),
      recorder(simTrace),
      eventLog(simTrace, clock) {
    eventLog.RegisterMessageSource(kServiceName, &SimMessageTable::Service());
    installer.onPortStarted = [this](const std::u16string& id) { AssignComName(id); };
}

void SimPortWorld::AssignComName(const std::u16string& portInstanceId) {
    if (!ComName(portInstanceId).empty())
        return;
    std::u16string name = u"COM" + FromUtf8(std::to_string(m_nextComNumber++));
    registry.PutValue(portInstanceId, u"", u"PortName", SimRegValue{sdk::kRegSz, U16Bytes(name)});
}

std::u16string SimPortWorld::ComName(const std::u16string& portInstanceId) const {
    auto value = registry.FindValue(portInstanceId, u"", u"PortName");
    if (!value || value->type != sdk::kRegSz)
        return {};
    return SzText(*value);
}

PortLinkPlatform SimPortWorld::Platform() {
    PortLinkPlatform p;
    p.setupDi = &setupDi;
    p.registry = &registry;
    p.sync = &sync;
    p.shell = &shell;
    p.installer = &installer;
    p.notify = &notify;
    p.trace = &recorder;
    p.eventLog = &eventLog;
    return p;
}

std::u16string SimPortWorld::PortInterfacePath(const std::u16string& instanceId) {
    return InterfacePathOf(instanceId, sdk::kComPortInterface);
}

std::u16string SimPortWorld::AddPort(const std::optional<std::u16string>& link, uint32_t linkType) {
    std::u16string id = NextRootInstanceId(tree, u"Ports");
    SimDevice device;
    device.instanceId = id;
    device.setupClass = u"Ports";
    device.hardwareIds = {kSimPortHardwareId};
    tree.AddDevice(device);
    tree.AddInterface(sdk::kComPortInterface, PortInterfacePath(id), id, true);
    AssignComName(id);
    if (link)
        registry.PutValue(id, kPortLinkSubKey, kPortLinkValue,
                          SimRegValue{linkType, U16Bytes(*link)});
    return id;
}

std::u16string SimPortWorld::PrinterInstanceId(const std::u16string& serial) {
    return u"USB\\VID_1B7E&PID_0101\\" + serial;
}

std::u16string SimPortWorld::AddPrinter(const std::u16string& serial) {
    std::u16string id = PrinterInstanceId(serial);
    SimDevice device;
    device.instanceId = id;
    device.setupClass = u"Ports";
    device.hardwareIds = {u"USB\\VID_1B7E&PID_0101"};
    tree.AddDevice(device);
    std::u16string path = InterfacePathOf(id, sdk::kPrinterDriverInterface);
    tree.AddInterface(sdk::kPrinterDriverInterface, path, id, true);
    return path;
}

void SimPortWorld::UnplugPrinter(const std::u16string& serial) {
    tree.SetDevicePresent(PrinterInstanceId(serial), false);
}

void SimPortWorld::PlugPrinter(const std::u16string& serial) {
    tree.SetDevicePresent(PrinterInstanceId(serial), true);
}

std::optional<std::u16string> SimPortWorld::Link(const std::u16string& portInstanceId) const {
    auto value = registry.FindValue(portInstanceId, kPortLinkSubKey, kPortLinkValue);
    if (!value || value->type != sdk::kRegSz)
        return std::nullopt;
    return SzText(*value);
}

std::vector<std::u16string> SimPortWorld::Ports() const {
    std::vector<std::u16string> out;
    for (const auto& i : tree.Interfaces(sdk::kComPortInterface, false))
        out.push_back(i.deviceId);
    return out;
}

void SimPortWorld::InstallInfPackage() {
    infFiles.Add(kSimInfPath);
}

}  // namespace tav::sim
