#include "sim/device_tree.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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

// The setup class a device node's class name stands for; a node's name matches exactly.
std::optional<Guid> SetupClassOfNode(const std::u16string& setupClass) {
    for (const auto& c : kSetupClasses) {
        if (setupClass == c.name)
            return c.guid;
    }
    return std::nullopt;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace

bool DeviceTree::GuidLess::operator()(const Guid& a, const Guid& b) const {
    static_assert(sizeof(Guid) == 16, "a GUID has no padding to compare");
    return std::memcmp(&a, &b, sizeof(Guid)) < 0;
}

const DeviceTree::SeqSet& DeviceTree::Of(const std::map<Guid, SeqSet, GuidLess>& index,
                                         const Guid& key) {
    static const SeqSet kNone;
    auto it = index.find(key);
    return it == index.end() ? kNone : it->second;
}

const SimDevice* DeviceTree::FindDevice(const std::u16string& instanceId) const {
    auto it = m_deviceById.find(instanceId);
    return it == m_deviceById.end() ? nullptr : &m_devices.at(it->second);
}

void DeviceTree::IndexSetupClass(Seq device, const std::u16string& setupClass, bool add) {
    const std::optional<Guid> guid = SetupClassOfNode(setupClass);
    if (!guid)
        return;
    if (add)
        m_devicesOfSetupClass[*guid].insert(device);
    else
        m_devicesOfSetupClass[*guid].erase(device);
}

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
    auto add = [&](const SimDevice& d) {
        if ((flags & sdk::kDigcfPresent) && !d.present)
            return;
        if ((flags & sdk::kDigcfProfile) && !d.inCurrentProfile)
            return;
        out.push_back(d);
    };
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (flags & sdk::kDigcfAllClasses) {
        for (const auto& [seq, d] : m_devices)
            add(d);
    } else if (flags & sdk::kDigcfDeviceInterface) {
        // The nodes behind the class's registered interfaces, present or not, in node order.
        SeqSet owners;
        for (Seq i : Of(m_interfacesOfClass, classGuid)) {
            auto owner = m_deviceById.find(m_interfaces.at(i).deviceId);
            if (owner != m_deviceById.end())
                owners.insert(owner->second);
        }
        for (Seq d : owners)
            add(m_devices.at(d));
    } else {
        for (Seq d : Of(m_devicesOfSetupClass, classGuid))
            add(m_devices.at(d));
    }
    return out;
}

bool DeviceTree::Selected(const SimInterface& i, uint32_t flags) const {
    if ((flags & sdk::kDigcfPresent) && !i.present)
        return false;
    if (flags & sdk::kDigcfProfile) {
        // An interface whose node the tree does not have is not out of the profile.
        const SimDevice* owner = FindDevice(i.deviceId);
        if (owner && !owner->inCurrentProfile)
            return false;
    }
    return true;
}

std::vector<SimInterface> DeviceTree::ClassDevsInterfaces(const Guid& classGuid,
                                                          uint32_t flags) const {
    std::vector<SimInterface> out;
    if (ClassDevsFlagsError(flags) != 0)
        return out;
    auto add = [&](const SimInterface& i) {
        if (Selected(i, flags))
            out.push_back(i);
    };
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (flags & sdk::kDigcfAllClasses) {
        for (const auto& [seq, i] : m_interfaces)
            add(i);
    } else if (flags & sdk::kDigcfDeviceInterface) {
        for (Seq i : Of(m_interfacesOfClass, classGuid))
            add(m_interfaces.at(i));
    } else {
        // A device set's interfaces are its nodes' interfaces, in registration order.
        SeqSet members;
        for (Seq d : Of(m_devicesOfSetupClass, classGuid)) {
            auto of = m_interfacesOfDevice.find(m_devices.at(d).instanceId);
            if (of != m_interfacesOfDevice.end())
                members.insert(of->second.begin(), of->second.end());
        }
        for (Seq i : members)
            add(m_interfaces.at(i));
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
        auto known = m_deviceById.find(device.instanceId);
        if (known != m_deviceById.end()) {
            SimDevice& d = m_devices.at(known->second);
            IndexSetupClass(known->second, d.setupClass, false);
            d = std::move(device);
            IndexSetupClass(known->second, d.setupClass, true);
        } else {
            const Seq seq = m_nextSeq++;
            m_deviceById.emplace(device.instanceId, seq);
            IndexSetupClass(seq, device.setupClass, true);
            m_devices.emplace(seq, std::move(device));
        }
    }
    Notify();
}

void DeviceTree::AddInterface(const Guid& classGuid, std::u16string path, std::u16string deviceId,
                              bool present) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        SeqSet& ofClass = m_interfacesOfClass[classGuid];
        auto known = std::find_if(ofClass.begin(), ofClass.end(),
                                  [&](Seq seq) { return m_interfaces.at(seq).path == path; });
        if (known != ofClass.end()) {
            SimInterface& i = m_interfaces.at(*known);
            i.present = present;
            if (i.deviceId != deviceId) {
                auto old = m_interfacesOfDevice.find(i.deviceId);
                old->second.erase(*known);
                if (old->second.empty())
                    m_interfacesOfDevice.erase(old);
                m_interfacesOfDevice[deviceId].insert(*known);
                i.deviceId = std::move(deviceId);
            }
        } else {
            const Seq seq = m_nextSeq++;
            ofClass.insert(seq);
            m_interfacesOfDevice[deviceId].insert(seq);
            m_interfaces.emplace(
                seq, SimInterface{classGuid, std::move(path), std::move(deviceId), present});
        }
    }
    Notify();
}

void DeviceTree::SetDevicePresent(const std::u16string& instanceId, bool present) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto device = m_deviceById.find(instanceId);
        if (device != m_deviceById.end())
            m_devices.at(device->second).present = present;
        auto of = m_interfacesOfDevice.find(instanceId);
        if (of != m_interfacesOfDevice.end()) {
            for (Seq i : of->second)
                m_interfaces.at(i).present = present;
        }
    }
    Notify();
}

void DeviceTree::RemoveDevice(const std::u16string& instanceId) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto device = m_deviceById.find(instanceId);
        if (device != m_deviceById.end()) {
            IndexSetupClass(device->second, m_devices.at(device->second).setupClass, false);
            m_devices.erase(device->second);
            m_deviceById.erase(device);
        }
        auto of = m_interfacesOfDevice.find(instanceId);
        if (of != m_interfacesOfDevice.end()) {
            for (Seq seq : of->second) {
                auto i = m_interfaces.find(seq);
                m_interfacesOfClass[i->second.classGuid].erase(seq);
                m_interfaces.erase(i);
            }
            m_interfacesOfDevice.erase(of);
        }
    }
    Notify();
}

std::optional<SimDevice> DeviceTree::Device(const std::u16string& instanceId) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const SimDevice* d = FindDevice(instanceId);
    return d ? std::optional<SimDevice>(*d) : std::nullopt;
}

void DeviceTree::UpdateDevice(const std::u16string& instanceId,
                              const std::function<void(SimDevice&)>& f) {
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        auto known = m_deviceById.find(instanceId);
        if (known != m_deviceById.end()) {
            SimDevice& d = m_devices.at(known->second);
            SimDevice changed = d;
            f(changed);
            if (changed.instanceId != d.instanceId)
                throw std::invalid_argument("UpdateDevice cannot change an instance id");
            IndexSetupClass(known->second, d.setupClass, false);
            d = std::move(changed);
            IndexSetupClass(known->second, d.setupClass, true);
        }
    }
    Notify();
}

std::vector<SimDevice> DeviceTree::Devices() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<SimDevice> out;
    out.reserve(m_devices.size());
    for (const auto& [seq, d] : m_devices)
        out.push_back(d);
    return out;
}

std::vector<SimInterface> DeviceTree::Interfaces(const Guid& classGuid, bool presentOnly) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<SimInterface> out;
    for (Seq seq : Of(m_interfacesOfClass, classGuid)) {
        const SimInterface& i = m_interfaces.at(seq);
        if (!presentOnly || i.present)
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
