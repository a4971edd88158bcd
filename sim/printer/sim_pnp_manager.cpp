#include "sim/printer/sim_pnp_manager.h"

#include <algorithm>

#include "shared/u16.h"
#include "shared/win/pnp.h"
#include "sim/windows_values.h"

namespace tav::sim {

namespace {

// ulFlags of CM_Get_Parent and CM_Get_Device_IDW: must be zero.
constexpr uint32_t kNoFlags = 0;

}  // namespace

std::optional<uint32_t> SimPnpManager::Enter(const char* call, uint32_t devInst, uint32_t flags,
                                             uint32_t definedFlags, std::u16string& instanceId) {
    const auto node = m_tree.NodeInstanceId(devInst);
    instanceId = node.value_or(u"");
    if (auto error = m_trace.Enter(call, node ? ToUtf8(*node) : "?"))
        return error;
    if (!node)
        return sdk::kCrInvalidDevnode;
    if (flags & ~definedFlags)
        return sdk::kCrInvalidFlag;
    return std::nullopt;
}

uint32_t SimPnpManager::GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) {
    std::u16string id;
    if (auto refused = Enter("CM_Get_Parent", devInst, flags, kNoFlags, id))
        return *refused;
    if (!parent)
        return sdk::kCrInvalidPointer;
    const auto device = m_tree.Device(id);
    if (!device || device->parentId.empty())
        return sdk::kCrNoSuchDevnode;
    *parent = m_tree.NodeHandle(device->parentId);
    return win::kCrSuccess;
}

uint32_t SimPnpManager::GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                    uint32_t flags) {
    std::u16string id;
    if (auto refused = Enter("CM_Get_Device_IDW", devInst, flags, kNoFlags, id))
        return *refused;
    if (!buffer)
        return sdk::kCrInvalidPointer;
    if (id.size() > length)
        return sdk::kCrBufferSmall;
    std::copy(id.begin(), id.end(), buffer);
    if (id.size() < length)  // an ID that fills the buffer exactly comes without terminator
        buffer[id.size()] = 0;
    return win::kCrSuccess;
}

uint32_t SimPnpManager::LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) {
    const std::u16string id = deviceId ? deviceId : u"";
    if (auto error = m_trace.Enter("CM_Locate_DevNodeW", ToUtf8(id)))
        return *error;
    if (flags & ~sdk::kCmLocateDevnodeBits)
        return sdk::kCrInvalidFlag;
    if (!devInst)
        return sdk::kCrInvalidPointer;
    // CM_LOCATE_DEVNODE_PHANTOM also finds a node whose device is gone; NORMAL only a present one.
    const auto device = m_tree.Device(id);
    if (!device || (!device->present && !(flags & sdk::kCmLocateDevnodePhantom)))
        return sdk::kCrNoSuchDevnode;
    *devInst = m_tree.NodeHandle(id);
    return win::kCrSuccess;
}

uint32_t SimPnpManager::ReenumerateDevNode(uint32_t devInst, uint32_t flags) {
    std::u16string id;
    if (auto refused = Enter("CM_Reenumerate_DevNode", devInst, flags, sdk::kCmReenumerateBits, id))
        return *refused;
    if (flags & sdk::kCmReenumerateAsynchronous) {
        // Returns at once; the walk happens later, after whatever the caller does next.
        m_clock.Schedule(reenumerateCostMs, [this, id] { reenumerated.push_back(id); });
        return win::kCrSuccess;
    }
    reenumerated.push_back(id);
    m_clock.Advance(reenumerateCostMs);  // synchronous: returns once the walk is done
    return win::kCrSuccess;
}

}  // namespace tav::sim
