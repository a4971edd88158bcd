#include "sim/ports/sim_device_interfaces.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

bool Fails(SimTrace& trace, const std::string& call, const std::string& detail = {}) {
    if (auto error = trace.Enter(call, detail)) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
}

// The simulated machine runs in its first hardware profile; profile 0 names the current one.
constexpr uint32_t kCurrentHardwareProfile = 1;

// SetupDiOpenDevRegKey's choice of key: ERROR_INVALID_FLAGS for a scope or key type it does
// not know (DIREG_BOTH only creates or deletes).
uint32_t DevRegKeyPlace(uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                        DeviceKeyPlace& place) {
    if (scope != sdk::kDicsFlagGlobal && scope != sdk::kDicsFlagConfigSpecific)
        return sdk::kErrorInvalidFlags;
    if (keyType != sdk::kDiregDev && keyType != sdk::kDiregDrv)
        return sdk::kErrorInvalidFlags;
    place.keyType = keyType;
    if (scope == sdk::kDicsFlagGlobal) {
        // Windows ignores the profile of a global key; our code passes 0, so anything else
        // is refused here to show a mix-up of scope and profile.
        if (hwProfile != 0)
            return sdk::kErrorInvalidParameter;
        place.profile = DeviceKeyPlace::kGlobal;
    } else {
        place.profile = hwProfile == 0 ? kCurrentHardwareProfile : hwProfile;
    }
    return win::kErrorSuccess;
}

uint32_t DetailSize(const SimInterface& i) {
    return kDetailPathOffset + static_cast<uint32_t>((i.path.size() + 1) * 2);
}

}  // namespace

int SimDeviceInterfaces::OpenSetCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_sets.size());
}

const SimInterface* SimDeviceInterfaces::Find(PlatformHandle set, uintptr_t index) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_sets.find(set);
    if (it == m_sets.end()) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return nullptr;
    }
    if (index >= it->second.size()) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return nullptr;
    }
    return &it->second[index];
}

PlatformHandle SimDeviceInterfaces::GetClassDevs(const Guid& interfaceClass, uint32_t flags) {
    if (Fails(m_trace, "SetupDiGetClassDevsW",
              ToUtf8(GuidToString(interfaceClass)) + " flags=" + std::to_string(flags)))
        return win::kInvalidHandleValue;
    if (const uint32_t refused = DeviceTree::ClassDevsFlagsError(flags)) {
        SetLastErrorCode(refused);
        return win::kInvalidHandleValue;
    }
    auto interfaces = m_tree.ClassDevsInterfaces(interfaceClass, flags);
    std::lock_guard<std::mutex> lock(m_mutex);
    PlatformHandle set = m_nextSet;
    m_nextSet += 8;
    m_sets[set] = std::move(interfaces);
    return set;
}

bool SimDeviceInterfaces::EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass,
                                               uint32_t index, win::DeviceInterfaceData* data) {
    if (Fails(m_trace, "SetupDiEnumDeviceInterfaces", std::to_string(index)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_sets.find(set);
    if (it == m_sets.end()) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    const auto& interfaces = it->second;
    uint32_t seen = 0;
    for (size_t position = 0; position < interfaces.size(); ++position) {
        if (interfaces[position].classGuid != interfaceClass || seen++ != index)
            continue;
        data->interfaceClassGuid = interfaceClass;
        data->flags = interfaces[position].present ? 1u : 0u;  // SPINT_ACTIVE
        data->reserved = position;
        return true;
    }
    SetLastErrorCode(win::kErrorNoMoreItems);
    return false;
}

uint32_t SimDeviceInterfaces::GetInterfaceDetailSize(PlatformHandle set,
                                                     const win::DeviceInterfaceData& data) {
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "size"))
        return 0;
    const SimInterface* i = Find(set, data.reserved);
    if (!i)
        return 0;
    SetLastErrorCode(win::kErrorInsufficientBuffer);
    return DetailSize(*i);
}

bool SimDeviceInterfaces::GetInterfacePath(PlatformHandle set, const win::DeviceInterfaceData& data,
                                           uint32_t size, std::u16string* path) {
    if (Fails(m_trace, "GlobalAlloc", std::to_string(size)))
        return false;
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "path"))
        return false;
    const SimInterface* i = Find(set, data.reserved);
    if (!i)
        return false;
    if (size < DetailSize(*i)) {
        SetLastErrorCode(win::kErrorInsufficientBuffer);
        return false;
    }
    *path = i->path;
    return true;
}

bool SimDeviceInterfaces::GetInterfaceDevInfo(PlatformHandle set,
                                              const win::DeviceInterfaceData& data,
                                              win::DevInfoData* devInfo) {
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "devinfo"))
        return false;
    if (!Find(set, data.reserved))
        return false;
    devInfo->devInst = static_cast<uint32_t>(data.reserved + 1);
    devInfo->reserved = data.reserved;
    SetLastErrorCode(win::kErrorInsufficientBuffer);
    return false;
}

// Scope, hardware profile and key type pick one of the device's keys, so a wrong one reads
// and writes elsewhere; the key carries `access` as the caller may have it.
PlatformHandle SimDeviceInterfaces::OpenDevRegKey(PlatformHandle set,
                                                  const win::DevInfoData& devInfo, uint32_t scope,
                                                  uint32_t hwProfile, uint32_t keyType,
                                                  uint32_t access) {
    if (Fails(m_trace, "SetupDiOpenDevRegKey",
              "scope=" + std::to_string(scope) + " profile=" + std::to_string(hwProfile) +
                  " type=" + std::to_string(keyType) + " access=" + std::to_string(access)))
        return win::kInvalidHandleValue;
    const SimInterface* i = Find(set, devInfo.reserved);
    if (!i)
        return win::kInvalidHandleValue;
    DeviceKeyPlace place;
    if (uint32_t error = DevRegKeyPlace(scope, hwProfile, keyType, place)) {
        SetLastErrorCode(error);
        return win::kInvalidHandleValue;
    }
    PlatformHandle key = win::kNoHandle;
    if (uint32_t error = m_registry.OpenDeviceKey(i->deviceId, place, access, key)) {
        SetLastErrorCode(error);
        return win::kInvalidHandleValue;
    }
    return key;
}

std::optional<std::u16string> SimDeviceInterfaces::DeviceIdOf(PlatformHandle set,
                                                              const win::DevInfoData& devInfo) {
    const SimInterface* i = Find(set, devInfo.reserved);
    if (!i)
        return std::nullopt;
    return i->deviceId;
}

bool SimDeviceInterfaces::DestroyDeviceInfoList(PlatformHandle set) {
    if (Fails(m_trace, "SetupDiDestroyDeviceInfoList"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sets.erase(set) == 0) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    return true;
}

}  // namespace tav::sim
