#include "sim/printer/sim_device_setup.h"

#include <cstdio>
#include <cstring>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::setup;
namespace {

constexpr uint32_t kErrorNoSuchDevinst = 0xE000020B;
constexpr uint32_t kErrorInvalidUserBuffer = 1784;

// The class installer's property change, own copies of DIF_PROPERTYCHANGE, DICS_*.
constexpr uint32_t kPropertyChange = 0x12;
constexpr uint32_t kEnable = 1;
constexpr uint32_t kDisable = 2;
constexpr uint32_t kStart = 4;
constexpr uint32_t kStop = 5;
constexpr uint32_t kScopeGlobal = 1;
constexpr uint32_t kScopeConfigSpecific = 2;
constexpr uint32_t kParamsSize = 20;  // SP_PROPCHANGE_PARAMS

// SP_PROPCHANGE_PARAMS as SetupDiSetClassInstallParamsW takes it: 0 or its error.
uint32_t PropChangeError(const win::PropChangeParams& p, uint32_t size) {
    if (size != kParamsSize || p.headerSize != 8 || p.installFunction != kPropertyChange)
        return win::kErrorInvalidParameter;
    if (p.stateChange < kEnable || p.stateChange > kStop)
        return sdk::kErrorInvalidFlags;
    if (p.scope != kScopeGlobal && p.scope != kScopeConfigSpecific)
        return sdk::kErrorInvalidFlags;
    if ((p.stateChange == kStart || p.stateChange == kStop) && p.scope != kScopeConfigSpecific)
        return kErrorInvalidUserBuffer;
    // Windows takes another hardware profile's number for a configuration-specific change;
    // the restart only ever changes the current one (0), so others are refused.
    if (p.hwProfile != 0)
        return win::kErrorInvalidParameter;
    return 0;
}

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

std::string Describe(const win::PropChangeParams& p) {
    std::string text = p.stateChange == kEnable    ? "enable"
                       : p.stateChange == kDisable ? "disable"
                                                   : "state" + std::to_string(p.stateChange);
    text += p.scope == kScopeGlobal ? " global" : " config";
    return text;
}

}  // namespace

SimDeviceSetup::SimDeviceSetup(SimTrace& trace, DeviceTree& tree) : m_trace(trace), m_tree(tree) {}

void SimDeviceSetup::FailEnables(const std::u16string& deviceId, int times, uint32_t error) {
    m_failEnables[deviceId] = {times, error};
}

SimDeviceSetup::DeviceSet* SimDeviceSetup::FindSet(Handle set) {
    auto it = m_sets.find(set);
    return it == m_sets.end() ? nullptr : &it->second;
}

int SimDeviceSetup::ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                                       uint32_t* pRequired) {
    const std::u16string name = className ? className : u"";
    if (auto error = m_trace.Enter("SetupDiClassGuidsFromNameW", ToUtf8(name)))
        return Fail(*error);
    if (!className || (!guids && capacity != 0))
        return Fail(win::kErrorInvalidParameter);
    const std::optional<Guid> found = DeviceTree::SetupClassGuid(name);
    const uint32_t count = found ? 1 : 0;
    if (pRequired)
        *pRequired = count;
    if (capacity < count)  // the count is still given, for a second call with room
        return Fail(win::kErrorInsufficientBuffer);
    if (found)
        guids[0] = *found;
    return 1;
}

Handle SimDeviceSetup::GetClassDevs(const Guid& classGuid, uint32_t flags) {
    char detail[32];
    std::snprintf(detail, sizeof detail, "0x%X", flags);
    if (auto error =
            m_trace.Enter("SetupDiGetClassDevsW", ToUtf8(GuidToString(classGuid)) + " " + detail))
        return Fail(*error);
    if (const uint32_t refused = DeviceTree::ClassDevsFlagsError(flags))
        return Fail(refused);
    const Handle handle = m_nextSet++;
    m_sets[handle] = DeviceSet{m_tree.ClassDevsDevices(classGuid, flags),
                               m_tree.ClassDevsInterfaces(classGuid, flags),
                               {}};
    return handle;
}

int SimDeviceSetup::EnumDeviceInfo(Handle set, uint32_t index, win::DevInfoData& device) {
    if (auto error = m_trace.Enter("SetupDiEnumDeviceInfo", std::to_string(index)))
        return Fail(*error);
    const DeviceSet* found = FindSet(set);
    if (!found)
        return Fail(win::kErrorInvalidHandle);
    if (index >= found->devices.size())
        return Fail(win::kErrorNoMoreItems);
    const SimDevice& member = found->devices[index];
    device.classGuid = DeviceTree::SetupClassGuid(member.setupClass).value_or(Guid{});
    device.devInst = m_tree.NodeHandle(member.instanceId);
    device.reserved = index + 1;
    return 1;
}

int SimDeviceSetup::EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                                         win::DeviceInterfaceData& data) {
    if (auto error = m_trace.Enter("SetupDiEnumDeviceInterfaces", std::to_string(index)))
        return Fail(*error);
    const DeviceSet* found = FindSet(set);
    if (!found)
        return Fail(win::kErrorInvalidHandle);
    const auto& interfaces = found->interfaces;
    uint32_t seen = 0;
    for (size_t position = 0; position < interfaces.size(); ++position) {
        if (interfaces[position].classGuid != classGuid || seen++ != index)
            continue;
        data.interfaceClassGuid = classGuid;
        data.flags = interfaces[position].present ? 1u : 0u;  // SPINT_ACTIVE
        data.reserved = position + 1;
        return 1;
    }
    return Fail(win::kErrorNoMoreItems);
}

int SimDeviceSetup::GetDeviceInterfaceDetail(Handle set, const win::DeviceInterfaceData& data,
                                             uint8_t* detail, uint32_t detailSize,
                                             uint32_t* pRequiredSize, win::DevInfoData* pDevice) {
    if (auto error = m_trace.Enter("SetupDiGetDeviceInterfaceDetailW", detail ? "detail" : "size"))
        return Fail(*error);
    const DeviceSet* found = FindSet(set);
    if (!found)
        return Fail(win::kErrorInvalidHandle);
    if (data.reserved == 0 || data.reserved > found->interfaces.size())
        return Fail(win::kErrorInvalidParameter);
    const SimInterface& item = found->interfaces[data.reserved - 1];
    const uint32_t needed = static_cast<uint32_t>(win::kInterfaceDetailPathOffset +
                                                  (item.path.size() + 1) * sizeof(char16_t));
    if (pRequiredSize)
        *pRequiredSize = needed;
    if (detail) {
        // As SetupAPI: the size field names this program's record, or the call is refused.
        uint32_t recordSize = 0;
        std::memcpy(&recordSize, detail, sizeof recordSize);
        if (detailSize < sizeof recordSize || recordSize != win::kInterfaceDetailRecordSize)
            return Fail(kErrorInvalidUserBuffer);
    }
    if (!detail || detailSize < needed)
        return Fail(win::kErrorInsufficientBuffer);
    std::memcpy(detail + win::kInterfaceDetailPathOffset, item.path.c_str(),
                (item.path.size() + 1) * sizeof(char16_t));
    if (pDevice) {
        pDevice->devInst = m_tree.NodeHandle(item.deviceId);
        pDevice->reserved = 0;
    }
    return 1;
}

int SimDeviceSetup::SetClassInstallParams(Handle set, win::DevInfoData& device,
                                          const win::PropChangeParams& params, uint32_t size) {
    const auto deviceId = m_tree.NodeInstanceId(device.devInst);
    const std::string detail = Describe(params) + " " + (deviceId ? ToUtf8(*deviceId) : "?");
    if (auto error = m_trace.Enter("SetupDiSetClassInstallParamsW", detail))
        return Fail(*error);
    DeviceSet* found = FindSet(set);
    if (!found)
        return Fail(win::kErrorInvalidHandle);
    if (!deviceId)
        return Fail(win::kErrorInvalidParameter);
    if (const uint32_t refused = PropChangeError(params, size))
        return Fail(refused);
    found->params[device.devInst] = params;
    return 1;
}

int SimDeviceSetup::CallClassInstaller(uint32_t installFunction, Handle set,
                                       win::DevInfoData& device) {
    const DeviceSet* found = FindSet(set);
    const auto deviceId = m_tree.NodeInstanceId(device.devInst);
    const win::PropChangeParams* params = nullptr;
    if (found) {
        auto p = found->params.find(device.devInst);
        if (p != found->params.end())
            params = &p->second;
    }
    const std::string detail = (params ? Describe(*params) : std::string("no-params")) + " " +
                               (deviceId ? ToUtf8(*deviceId) : "?");
    if (auto error = m_trace.Enter("SetupDiCallClassInstaller", detail))
        return Fail(*error);
    if (!found)
        return Fail(win::kErrorInvalidHandle);
    if (installFunction != kPropertyChange || !params || !deviceId)
        return Fail(win::kErrorInvalidParameter);
    return ApplyPropertyChange(*deviceId, *params);
}

int SimDeviceSetup::ApplyPropertyChange(const std::u16string& deviceId,
                                        const win::PropChangeParams& params) {
    const auto device = m_tree.Device(deviceId);
    if (!device)
        return Fail(kErrorNoSuchDevinst);
    // A global change enables or disables the device everywhere; a configuration-specific
    // one in the current hardware profile. The device works only when both allow it.
    const bool global = params.scope == kScopeGlobal;
    if (params.stateChange == kDisable) {
        m_tree.UpdateDevice(deviceId, [global](SimDevice& d) {
            (global ? d.enabled : d.inCurrentProfile) = false;
        });
        return 1;
    }
    auto failing = m_failEnables.find(deviceId);
    if (failing != m_failEnables.end() && failing->second.first > 0) {
        --failing->second.first;
        return Fail(failing->second.second);
    }
    m_tree.UpdateDevice(
        deviceId, [global](SimDevice& d) { (global ? d.enabled : d.inCurrentProfile) = true; });
    const auto now = m_tree.Device(deviceId);
    if (now->present && now->enabled && now->inCurrentProfile)
        m_tree.SetDevicePresent(deviceId, true);
    return 1;
}

int SimDeviceSetup::DestroyDeviceInfoList(Handle set) {
    if (auto error = m_trace.Enter("SetupDiDestroyDeviceInfoList"))
        return Fail(*error);
    return m_sets.erase(set) ? 1 : Fail(win::kErrorInvalidHandle);
}

}  // namespace tav::sim
