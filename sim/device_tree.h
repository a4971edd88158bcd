#pragma once
// The simulated device tree: device nodes and the device interfaces they expose, by class.
// Interfaces keep the order they were registered in, as the system's enumeration does.
// An interface is registered (it stays listed when its device leaves) and present or not.
// Both programs' simulated platforms read and change this one tree. Selections are indexed by
// class and device, so a benchmark's figure is the product's and not the tree's walk.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "shared/guid.h"

namespace tav::sim {

struct SimDevice {
    std::u16string instanceId;  // "USB\VID_1B7E&PID_0101\123456", "ROOT\PORTS\0000"
    std::u16string setupClass;  // "USB", "Ports", ...
    std::u16string parentId;    // instance id of the parent node ("PCI\..."), may be empty
    std::vector<std::u16string> hardwareIds;
    bool present = true;
    bool enabled = true;
    bool inCurrentProfile = true;  // not disabled in the current hardware profile
    uint32_t problem = 0;          // CM_PROB_*, 0 when the device works
};

struct SimInterface {
    Guid classGuid;
    std::u16string path;      // "\\?\USB#Vid_1B7E&pid_0101#123456#{...}"
    std::u16string deviceId;  // owning device's instance id
    bool present = true;
};

class DeviceTree {
  public:
    // Adds a device node (present, enabled). Replaces a node with the same instance id.
    void AddDevice(SimDevice device);
    // Registers an interface; a path registered before is made present again instead.
    void AddInterface(const Guid& classGuid, std::u16string path, std::u16string deviceId,
                      bool present = true);
    // Marks a device and all its interfaces present or absent (unplug / plug back).
    void SetDevicePresent(const std::u16string& instanceId, bool present);
    // Removes a device and unregisters its interfaces.
    void RemoveDevice(const std::u16string& instanceId);

    std::optional<SimDevice> Device(const std::u16string& instanceId) const;
    // Changes a device in place; the instance id is the node's key and must stay
    // (std::invalid_argument, nothing changed, when f changes it).
    void UpdateDevice(const std::u16string& instanceId, const std::function<void(SimDevice&)>& f);
    std::vector<SimDevice> Devices() const;

    // Interfaces of one class in registration order; only present ones when presentOnly.
    std::vector<SimInterface> Interfaces(const Guid& classGuid, bool presentOnly) const;

    // What SetupDiGetClassDevsW(classGuid, no enumerator, no window, flags) selects, one rule
    // for every simulated SetupAPI: the devices of a set, and the interfaces its interface
    // enumeration walks (of every class; the enumeration picks its class). Without
    // DIGCF_DEVICEINTERFACE the GUID names a setup class. Both are empty when the flags are
    // refused; ClassDevsFlagsError says with what.
    static uint32_t ClassDevsFlagsError(uint32_t flags);
    std::vector<SimDevice> ClassDevsDevices(const Guid& classGuid, uint32_t flags) const;
    std::vector<SimInterface> ClassDevsInterfaces(const Guid& classGuid, uint32_t flags) const;
    // The setup class GUID a class name stands for, compared without case as Windows does.
    static std::optional<Guid> SetupClassGuid(const std::u16string& className);

    // Device node handles (DEVINST) as the configuration manager hands them out: numbered
    // from 1 in the order they are first asked for, valid for the tree's life, one numbering
    // for every simulated SetupAPI and configuration manager call.
    uint32_t NodeHandle(const std::u16string& instanceId);
    // The instance ID a handle stands for; none for a handle never handed out.
    std::optional<std::u16string> NodeInstanceId(uint32_t devInst) const;

    // Called after every change of presence or registration (device-change broadcasts).
    void OnChange(std::function<void()> listener);

  private:
    // Order of a device's first addition or an interface's registration; never reused.
    using Seq = uint64_t;
    using SeqSet = std::set<Seq>;
    struct GuidLess {
        bool operator()(const Guid& a, const Guid& b) const;
    };

    void Notify();
    const SimDevice* FindDevice(const std::u16string& instanceId) const;
    bool Selected(const SimInterface& i, uint32_t flags) const;
    void IndexSetupClass(Seq device, const std::u16string& setupClass, bool add);
    static const SeqSet& Of(const std::map<Guid, SeqSet, GuidLess>& index, const Guid& key);

    mutable std::recursive_mutex m_mutex;
    Seq m_nextSeq = 1;
    std::map<Seq, SimDevice> m_devices;
    std::map<Seq, SimInterface> m_interfaces;
    std::unordered_map<std::u16string, Seq> m_deviceById;
    std::map<Guid, SeqSet, GuidLess> m_devicesOfSetupClass;
    std::map<Guid, SeqSet, GuidLess> m_interfacesOfClass;
    // By owner id, whether or not the tree has that device.
    std::unordered_map<std::u16string, SeqSet> m_interfacesOfDevice;
    std::vector<std::u16string> m_nodeHandles;  // DEVINST n is m_nodeHandles[n - 1]
    std::vector<std::function<void()>> m_listeners;
};

}  // namespace tav::sim
