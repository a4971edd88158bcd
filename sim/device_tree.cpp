#include "sim/device_tree.h"

#include <algorithm>

#include "shared/u16.h"
#include "sim/windows_values.h"

namespace tav::sim {
namespace {

constexpr uint32_t kInvalidParameter = 87;

// Setup class names as the device nodes carry them, and their GUIDs.
struct SetupClassName {
    const char16_t* name;
    Guid guid;
};
constexpr SetupClassName kSetupClasses[] = {{u"USB", sdk::kUsbSetupClass},
                                            {u"Ports", sdk::kPortsSetupClass}};

bool InSetupClass(const SimDevice& device, const Guid& setupClass) {
    for (const auto& c : kSetupClasses) {
        if (device.setupClass == c.name && setupClass == c.guid)
            return true;
    }
    return false;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace

uint32_t DeviceTree::ClassDevsFlagsError(uint32_t flags) {
    constexpr uint32_t kDefined = sdk::kDigcfDefault | sdk::kDigcfPresent | sdk::kDigcfAllClasses |
                                  sdk::kDigcfProfile | sdk::kDigcfDeviceInterface;
    if (flags & ~kDefined)
        return sdk::kErrorInvalidFlags;
    // Windows takes DIGCF_DEFAULT (the default interface of a class); no caller here passes
    // it, so it is refused to show up in a test.
    if (flags & sdk::kDigcfDefault)
        return kInvalidParameter;
    return 0;
}

std::vector<SimDevice> DeviceTree::ClassDevsDevices(const Guid& classGuid, uint32_t flags) const {
    std::vector<SimDevice> out;
    if (ClassDevsFlagsError(flags) != 0)
        return out;
    const bool allClasses = (flags & sdk::kDigcfAllClasses) != 0;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& d : m_devices) {
        if ((flags & sdk::kDigcfPresent) && !d.present)
            continue;
        if ((flags & sdk::kDigcfProfile) && !d.inCurrentProfile)
            continue;
        bool member = allClasses;
        if (!member && (flags & sdk::kDigcfDeviceInterface)) {
            member = std::any_of(m_interfaces.begin(), m_interfaces.end(), [&](const auto& i) {
                return i.deviceId == d.instanceId && i.classGuid == classGuid;
            });
        } else if (!member) {
            member = InSetupClass(d, classGuid);
        }
        if (member)
            out.push_back(d);
    }
    return out;
}

std::vector<SimInterface> DeviceTree::ClassDevsInterfaces(const Guid& classGuid,
                                                          uint32_t flags) const {
    std::vector<SimInterface> out;
    if (ClassDevsFlagsError(flags) != 0)
        return out;
    const bool interfaceSet = (flags & sdk::kDigcfDeviceInterface) != 0;
    const bool allClasses = (flags & sdk::kDigcfAllClasses) != 0;
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& i : m_interfaces) {
        if ((flags & sdk::kDigcfPresent) && !i.present)
            continue;
        auto owner = std::find_if(m_devices.begin(), m_devices.end(),
                                  [&](const SimDevice& d) { return d.instanceId == i.deviceId; });
        const bool hasOwner = owner != m_devices.end();
        if ((flags & sdk::kDigcfProfile) && hasOwner && !owner->inCurrentProfile)
            continue;
        // An interface set holds its class's interfaces; a device set those of its devices.
        const bool member =
            allClasses ||
            (interfaceSet ? i.classGuid == classGuid : hasOwner && InSetupClass(*owner, classGuid));
        if (member)
            out.push_back(i);
    }
    return out;
}

std::optional<Guid> DeviceTree::SetupClassGuid(const std::u16string& className) {
    for (const auto& c : kSetupClasses) {
        if (EqualNoCase(className, c.name))
            return c.guid;
    }
    return std::nullopt;
}

uint32_t DeviceTree::NodeHandle(const std::u16string& instanceId) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = std::find(m_nodeHandles.begin(), m_nodeHandles.end(), instanceId);
    if (it == m_nodeHandles.end())
        it = m_nodeHandles.insert(m_nodeHandles.end(), instanceId);
    return static_cast<uint32_t>(it - m_nodeHandles.begin() + 1);
}

std::optional<std::u16string> DeviceTree::NodeInstanceId(uint32_t devInst) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (devInst == 0 || devInst > m_nodeHandles.size())
        return std::nullopt;
    return m_nodeHandles[devInst - 1];
}

void DeviceTree::AddDevice(SimDevice device) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto it = std::find_if(m_devices.begin(), m_devices.end(), [&](const SimDevice& d) {
            return d.instanceId == device.instanceId;
        });
        if (it != m_devices.end()) {
            *it = std::move(device);
        } else {
            m_devices.push_back(std::move(device));
        }
    }
    Notify();
}

void DeviceTree::AddInterface(const Guid& classGuid, std::u16string path, std::u16string deviceId,
                              bool present) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto it = std::find_if(
            m_interfaces.begin(), m_interfaces.end(),
            [&](const SimInterface& i) { return i.classGuid == classGuid && i.path == path; });
        if (it != m_interfaces.end()) {
            it->present = present;
            it->deviceId = std::move(deviceId);
        } else {
            m_interfaces.push_back(
                SimInterface{classGuid, std::move(path), std::move(deviceId), present});
        }
    }
    Notify();
}

void DeviceTree::SetDevicePresent(const std::u16string& instanceId, bool present) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (auto& d : m_devices) {
            if (d.instanceId == instanceId)
                d.present = present;
        }
        for (auto& i : m_interfaces) {
            if (i.deviceId == instanceId)
                i.present = present;
        }
    }
    Notify();
}

void DeviceTree::RemoveDevice(const std::u16string& instanceId) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_devices.erase(
            std::remove_if(m_devices.begin(), m_devices.end(),
                           [&](const SimDevice& d) { return d.instanceId == instanceId; }),
            m_devices.end());
        m_interfaces.erase(
            std::remove_if(m_interfaces.begin(), m_interfaces.end(),
                           [&](const SimInterface& i) { return i.deviceId == instanceId; }),
            m_interfaces.end());
    }
    Notify();
}

std::optional<SimDevice> DeviceTree::Device(const std::u16string& instanceId) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& d : m_devices) {
        if (d.instanceId == instanceId)
            return d;
    }
    return std::nullopt;
}

void DeviceTree::UpdateDevice(const std::u16string& instanceId,
                              const std::function<void(SimDevice&)>& f) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (auto& d : m_devices) {
            if (d.instanceId == instanceId)
                f(d);
        }
    }
    Notify();
}

std::vector<SimDevice> DeviceTree::Devices() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_devices;
}

std::vector<SimInterface> DeviceTree::Interfaces(const Guid& classGuid, bool presentOnly) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<SimInterface> out;
    for (const auto& i : m_interfaces) {
        if (i.classGuid == classGuid && (!presentOnly || i.present))
            out.push_back(i);
    }
    return out;
}

void DeviceTree::OnChange(std::function<void()> listener) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_listeners.push_back(std::move(listener));
}

void DeviceTree::Notify() {
    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        listeners = m_listeners;
    }
    for (auto& l : listeners)
        l();
}

}  // namespace tav::sim
