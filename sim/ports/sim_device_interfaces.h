#pragma once
// SetupAPI's interface enumeration over the shared DeviceTree: a device information set is
// a snapshot of one class's interfaces; a port's hardware key comes from the SimRegistry.
// Every call records itself and can be told to fail.

#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/registry/sim_registry.h"
#include "tavportsvc/core/device_interface_api.h"

namespace tav::sim {

class SimDeviceInterfaces : public portsvc::DeviceInterfaceApi {
  public:
    SimDeviceInterfaces(SimTrace& trace, DeviceTree& tree, SimRegistry& registry)
        : m_trace(trace), m_tree(tree), m_registry(registry) {}

    int OpenSetCount() const;
    // The instance ID of the device behind an enumerated interface's device data, or none
    // (last error set) for a set or record that does not exist.
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
    bool DestroyDeviceInfoList(portsvc::PlatformHandle set) override;

  private:
    // The interface a record points at, or nullptr (last error set).
    const SimInterface* Find(portsvc::PlatformHandle set, uintptr_t index);

    SimTrace& m_trace;
    DeviceTree& m_tree;
    SimRegistry& m_registry;
    mutable std::mutex m_mutex;
    std::map<portsvc::PlatformHandle, std::vector<SimInterface>> m_sets;
    portsvc::PlatformHandle m_nextSet = 0x7000;
};

// Size of the detail record's fixed part before the path on 64-bit Windows (cbSize).
inline constexpr uint32_t kDetailPathOffset = 4;

}  // namespace tav::sim
