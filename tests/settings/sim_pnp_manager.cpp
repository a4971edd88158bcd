#include "tests/settings/sim_pnp_manager.h"

#include <algorithm>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::test {
using namespace tav::setup;

const Guid kUsbSetupClass = sim::sdk::kUsbSetupClass;
const Guid kPortsSetupClass = sim::sdk::kPortsSetupClass;

namespace {

bool Fails(sim::SimTrace& trace, const std::string& call, const std::u16string& detail) {
    if (auto error = trace.Enter(call, ToUtf8(detail))) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
}

std::u16string ClassName(const Guid& g) {
    if (g == kUsbSetupClass)
        return u"USB";
    if (g == kPortsSetupClass)
        return u"Ports";
    return u"?";
}

}  // namespace

uint32_t SimPnpManager::NodeOf(const std::u16string& instanceId) {
    auto it = std::find(m_nodes.begin(), m_nodes.end(), instanceId);
    if (it == m_nodes.end()) {
        m_nodes.push_back(instanceId);
        return static_cast<uint32_t>(m_nodes.size());
    }
    return static_cast<uint32_t>(it - m_nodes.begin() + 1);
}

bool SimPnpManager::ClassGuidsFromName(const std::u16string& className, Guid* guids,
                                       uint32_t capacity, uint32_t* required) {
    if (Fails(m_trace, "SetupDiClassGuidsFromNameW", className))
        return false;
    const Guid* g = className == u"USB"     ? &kUsbSetupClass
                    : className == u"Ports" ? &kPortsSetupClass
                                            : nullptr;
    *required = g ? 1 : 0;
    if (g && capacity >= 1)
        guids[0] = *g;
    return true;
}

Handle SimPnpManager::GetClassDevs(const Guid& classGuid, uint32_t flags) {
    if (Fails(m_trace, "SetupDiGetClassDevsW", ClassName(classGuid)))
        return win::kNoHandle;
    if (const uint32_t refused = sim::DeviceTree::ClassDevsFlagsError(flags)) {
        SetLastErrorCode(refused);
        return win::kNoHandle;
    }
    std::vector<std::u16string> members;
    for (const auto& d : m_tree.ClassDevsDevices(classGuid, flags))
        members.push_back(d.instanceId);
    const Handle set = m_nextSet++;
    m_sets[set] = std::move(members);
    return set;
}

bool SimPnpManager::EnumDeviceInfo(Handle set, uint32_t index, uint32_t* devInst) {
    if (Fails(m_trace, "SetupDiEnumDeviceInfo", u""))
        return false;
    const auto& members = m_sets.at(set);
    if (index >= members.size()) {
        SetLastErrorCode(win::kErrorNoMoreItems);
        return false;
    }
    *devInst = NodeOf(members[index]);
    return true;
}

bool SimPnpManager::DestroyDeviceInfoList(Handle set) {
    if (Fails(m_trace, "SetupDiDestroyDeviceInfoList", u""))
        return false;  // the set stays, as after a failed release
    if (m_sets.erase(set) == 1)
        return true;
    SetLastErrorCode(win::kErrorInvalidHandle);
    return false;
}

uint32_t SimPnpManager::GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) {
    const std::u16string id = m_nodes.at(devInst - 1);
    if (Fails(m_trace, "CM_Get_Parent", id))
        return kCrNoSuchDevnode;
    if (flags != 0)  // ulFlags: must be zero
        return sim::sdk::kCrInvalidFlag;
    const auto device = m_tree.Device(id);
    if (!device || device->parentId.empty())
        return kCrNoSuchDevnode;
    *parent = NodeOf(device->parentId);
    return win::kCrSuccess;
}

uint32_t SimPnpManager::GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                    uint32_t flags) {
    const std::u16string id = m_nodes.at(devInst - 1);
    if (Fails(m_trace, "CM_Get_Device_IDW", id))
        return kCrNoSuchDevnode;
    if (flags != 0)  // ulFlags: must be zero
        return sim::sdk::kCrInvalidFlag;
    if (id.size() > length)
        return kCrBufferSmall;
    std::copy(id.begin(), id.end(), buffer);
    if (id.size() < length)
        buffer[id.size()] = 0;
    return win::kCrSuccess;
}

uint32_t SimPnpManager::LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) {
    const std::u16string id(deviceId);
    if (Fails(m_trace, "CM_Locate_DevNodeW", id))
        return kCrNoSuchDevnode;
    if (flags & ~sim::sdk::kCmLocateDevnodeBits)
        return sim::sdk::kCrInvalidFlag;
    // CM_LOCATE_DEVNODE_PHANTOM also finds a node whose device is gone; NORMAL only a present one.
    const auto device = m_tree.Device(id);
    if (!device || (!device->present && !(flags & sim::sdk::kCmLocateDevnodePhantom)))
        return kCrNoSuchDevnode;
    *devInst = NodeOf(id);
    return win::kCrSuccess;
}

uint32_t SimPnpManager::ReenumerateDevNode(uint32_t devInst, uint32_t flags) {
    const std::u16string id = m_nodes.at(devInst - 1);
    if (Fails(m_trace, "CM_Reenumerate_DevNode", id))
        return kCrNoSuchDevnode;
    if (flags & ~sim::sdk::kCmReenumerateBits)
        return sim::sdk::kCrInvalidFlag;
    if (flags & sim::sdk::kCmReenumerateAsynchronous) {
        // Returns at once; the walk happens later, after whatever the caller does next.
        m_clock.Schedule(reenumerateCostMs, [this, id] { reenumerated.push_back(id); });
        return win::kCrSuccess;
    }
    reenumerated.push_back(id);
    m_clock.Advance(reenumerateCostMs);  // synchronous: returns once the walk is done
    return win::kCrSuccess;
}

}  // namespace tav::test
