#pragma once
// SetupAPI and configuration manager over the simulated device tree: class names map to
// their setup class GUIDs, device information sets hold the present devices of a class,
// device nodes are numbered per instance ID, and a re-enumeration costs virtual time.
// Every call records itself and can be told to fail.

#include <map>
#include <string>
#include <vector>

#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/virtual_clock.h"
#include "tavsetup/pages/pnp_manager.h"

namespace tav::test {

inline constexpr uint32_t kCrNoSuchDevnode = 0x0D;
inline constexpr uint32_t kCrBufferSmall = 0x1A;

class SimPnpManager : public setup::PnpManager {
  public:
    SimPnpManager(sim::DeviceTree& tree, sim::VirtualClock& clock, sim::SimTrace& trace)
        : m_tree(tree), m_clock(clock), m_trace(trace) {}

    uint32_t reenumerateCostMs = 50;
    std::vector<std::u16string> reenumerated;  // instance IDs, in order

    bool ClassGuidsFromName(const std::u16string& className, Guid* guids, uint32_t capacity,
                            uint32_t* required) override;
    setup::Handle GetClassDevs(const Guid& classGuid, uint32_t flags) override;
    bool EnumDeviceInfo(setup::Handle set, uint32_t index, uint32_t* devInst) override;
    bool DestroyDeviceInfoList(setup::Handle set) override;
    uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) override;
    uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                         uint32_t flags) override;
    uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) override;
    uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) override;

    int OpenSets() const { return static_cast<int>(m_sets.size()); }

  private:
    uint32_t NodeOf(const std::u16string& instanceId);

    sim::DeviceTree& m_tree;
    sim::VirtualClock& m_clock;
    sim::SimTrace& m_trace;
    std::vector<std::u16string> m_nodes;  // DEVINST n is m_nodes[n - 1]
    std::map<setup::Handle, std::vector<std::u16string>> m_sets;
    setup::Handle m_nextSet = 0x500;
};

// Setup class GUIDs of the two classes the refresh walks.
extern const Guid kUsbSetupClass;
extern const Guid kPortsSetupClass;

}  // namespace tav::test
