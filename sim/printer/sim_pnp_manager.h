#pragma once
// The configuration manager over the simulated device tree: device nodes by the tree's
// handles (the ones SimDeviceSetup lists), their parents and instance IDs, and a
// re-enumeration that costs virtual time. Flags, node handles and buffer sizes are refused
// as Windows refuses them. Every call records itself and can be told to fail.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "printer/settings/pnp_manager.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

class SimPnpManager : public setup::PnpManager {
  public:
    SimPnpManager(DeviceTree& tree, VirtualClock& clock, SimTrace& trace)
        : m_tree(tree), m_clock(clock), m_trace(trace) {}

    uint32_t reenumerateCostMs = 50;
    std::vector<std::u16string> reenumerated;  // instance IDs, in order

    uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) override;
    uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                         uint32_t flags) override;
    uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) override;
    uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) override;

  private:
    // Records `call` with the node's instance ID; the error to return, if any: an injected
    // failure, a node handle never handed out, or flags outside `definedFlags`.
    std::optional<uint32_t> Enter(const char* call, uint32_t devInst, uint32_t flags,
                                  uint32_t definedFlags, std::u16string& instanceId);

    DeviceTree& m_tree;
    VirtualClock& m_clock;
    SimTrace& m_trace;
};

}  // namespace tav::sim
