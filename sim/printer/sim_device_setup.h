#pragma once
// SetupAPI over the simulated device tree: setup classes by name, sets of a class's devices
// and interfaces (present or all registered), their details with the owning device, and the
// class installer's property change. Disabling marks the device disabled; a successful enable
// marks it enabled and, when it is plugged in, its interfaces present again. Devices are
// named by the tree's device node handles, which the configuration manager shares.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "printer/link/device_setup.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"

namespace tav::sim {

class SimDeviceSetup : public setup::DeviceSetup {
  public:
    SimDeviceSetup(SimTrace& trace, DeviceTree& tree);

    // The next `times` enabling installer calls for the device fail with `error`.
    void FailEnables(const std::u16string& deviceId, int times, uint32_t error = 31);
    size_t OpenSets() const { return m_sets.size(); }

    int ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                           uint32_t* pRequired) override;
    setup::Handle GetClassDevs(const Guid& classGuid, uint32_t flags) override;
    int EnumDeviceInfo(setup::Handle set, uint32_t index, win::DevInfoData& device) override;
    int EnumDeviceInterfaces(setup::Handle set, const Guid& classGuid, uint32_t index,
                             win::DeviceInterfaceData& data) override;
    int GetDeviceInterfaceDetail(setup::Handle set, const win::DeviceInterfaceData& data,
                                 uint8_t* detail, uint32_t detailSize, uint32_t* pRequiredSize,
                                 win::DevInfoData* pDevice) override;
    int SetClassInstallParams(setup::Handle set, win::DevInfoData& device,
                              const win::PropChangeParams& params, uint32_t size) override;
    int CallClassInstaller(uint32_t installFunction, setup::Handle set,
                           win::DevInfoData& device) override;
    int DestroyDeviceInfoList(setup::Handle set) override;

  private:
    struct DeviceSet {
        std::vector<SimDevice> devices;
        std::vector<SimInterface> interfaces;  // of every class the set's devices expose
        std::map<uint32_t, win::PropChangeParams> params;  // by devInst
    };
    DeviceSet* FindSet(setup::Handle set);
    int ApplyPropertyChange(const std::u16string& deviceId, const win::PropChangeParams& params);

    SimTrace& m_trace;
    DeviceTree& m_tree;
    std::map<setup::Handle, DeviceSet> m_sets;
    std::map<std::u16string, std::pair<int, uint32_t>> m_failEnables;
    setup::Handle m_nextSet = 0x5000;
};

}  // namespace tav::sim
