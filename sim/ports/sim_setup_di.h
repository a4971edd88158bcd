#pragma once
// Every SetupDi call of the service over the shared DeviceTree, from one table of device
// information sets. Whichever call made a set (SetupDiGetClassDevsW: a snapshot of a class's
// interfaces and their devices; SetupDiCreateDeviceInfoList: an empty set of one setup class
// that new device elements go into), every call finds it there and checks its handle, flags
// and sizes the same way; SetupDiDestroyDeviceInfoList releases it there, and a released or
// never-made handle is refused with ERROR_INVALID_HANDLE by every call. A device's hardware
// key comes from the SimRegistry, an INF's class from SimInfFiles. Every call records itself
// and can be told to fail.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "portlink/core/setup_di_api.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_inf_files.h"
#include "sim/registry/sim_registry.h"

namespace tav::sim {

// "\\?\ROOT#PORTS#0000#{86e0d1e0-8089-11d0-9ce4-08003e301f73}" for "ROOT\PORTS\0000".
std::u16string InterfacePathOf(const std::u16string& instanceId, const Guid& interfaceClass);
// The first "ROOT\<CLASS>\nnnn" not in the tree.
std::u16string NextRootInstanceId(const DeviceTree& tree, const std::u16string& className);

// Size of the detail record's fixed part before the path on 64-bit Windows (cbSize).
inline constexpr uint32_t kDetailPathOffset = 4;

class SimSetupDi : public portsvc::SetupDiApi {
  public:
    enum class SetState { kNeverMade, kLive, kReleased };

    SimSetupDi(SimTrace& trace, DeviceTree& tree, SimRegistry& registry, const SimInfFiles& infs)
        : m_trace(trace), m_tree(tree), m_registry(registry), m_infs(infs) {}

    // Sets made and not yet destroyed.
    int OpenSetCount() const;
    SetState StateOf(portsvc::PlatformHandle set) const;
    // Calls refused because their set was released or never made: a caller that keeps its
    // sets right never causes one.
    int RefusedHandleCount() const;
    // The bytes of the last hardware ID property set on any element.
    std::vector<uint8_t> LastHardwareIdProperty() const;
    // The instance ID of the device an element of a set stands for, or none (last error
    // set) for a set or element that does not exist.
    std::optional<std::u16string> DeviceIdOf(portsvc::PlatformHandle set,
                                             const win::DevInfoData& devInfo);

    portsvc::PlatformHandle GetClassDevs(const Guid& interfaceClass, uint32_t flags) override;
    bool EnumDeviceInterfaces(portsvc::PlatformHandle set, const Guid& interfaceClass,
                              uint32_t index, win::DeviceInterfaceData* data) override;
    uint32_t GetInterfaceDetailSize(portsvc::PlatformHandle set,
                                    const win::DeviceInterfaceData& data) override;
    bool GetInterfacePath(portsvc::PlatformHandle set, const win::DeviceInterfaceData& data,
                          uint32_t size, std::u16string* path) override;
    bool GetInterfaceDevInfo(portsvc::PlatformHandle set, const win::DeviceInterfaceData& data,
                             win::DevInfoData* devInfo) override;
    portsvc::PlatformHandle OpenDevRegKey(portsvc::PlatformHandle set,
                                          const win::DevInfoData& devInfo, uint32_t scope,
                                          uint32_t hwProfile, uint32_t keyType,
                                          uint32_t access) override;
    bool GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                     uint32_t classNameUnits, uint32_t* requiredSize) override;
    portsvc::PlatformHandle CreateDeviceInfoList(const Guid& classGuid) override;
    bool CreateDeviceInfo(portsvc::PlatformHandle set, const char16_t* deviceName,
                          const Guid& classGuid, uint32_t flags, win::DevInfoData* out) override;
    bool SetDeviceRegistryProperty(portsvc::PlatformHandle set, win::DevInfoData* devInfo,
                                   uint32_t property, const void* data, uint32_t size) override;
    bool CallClassInstaller(uint32_t difCode, portsvc::PlatformHandle set,
                            win::DevInfoData* devInfo) override;
    bool DestroyDeviceInfoList(portsvc::PlatformHandle set) override;

  private:
    // A device of a set: one behind a snapshot's interfaces, or one made in the set.
    struct Element {
        std::u16string instanceId;
        std::u16string setupClass;
        std::vector<std::u16string> hardwareIds;
        bool registered = false;  // a device node in the tree
    };
    struct DevInfoSet {
        std::optional<Guid> setupClass;        // the class a created set is bound to
        std::vector<Element> elements;         // DevInfoData.reserved: index + 1
        std::vector<SimInterface> interfaces;  // DeviceInterfaceData.reserved: index + 1
        std::vector<size_t> elementOf;         // each interface's device, as an element index
    };

    // The lookups every call makes, with m_mutex held; nullptr with the last error set.
    DevInfoSet* LiveSet(portsvc::PlatformHandle set);
    Element* FindElement(portsvc::PlatformHandle set, const win::DevInfoData* devInfo);
    const SimInterface* FindInterface(portsvc::PlatformHandle set,
                                      const win::DeviceInterfaceData& data);
    portsvc::PlatformHandle AddSet(DevInfoSet contents);

    SimTrace& m_trace;
    DeviceTree& m_tree;
    SimRegistry& m_registry;
    const SimInfFiles& m_infs;
    mutable std::mutex m_mutex;
    // Live sets. Handles are handed out in steps from kFirstSet and never again, so one made
    // and no longer here was released.
    std::map<portsvc::PlatformHandle, DevInfoSet> m_sets;
    static constexpr portsvc::PlatformHandle kFirstSet = 0x70000;
    static constexpr portsvc::PlatformHandle kSetStep = 8;
    portsvc::PlatformHandle m_nextSet = kFirstSet;
    int m_refusedHandles = 0;
    std::vector<uint8_t> m_lastHardwareIds;
};

}  // namespace tav::sim
