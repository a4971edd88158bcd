#include "sim/ports/sim_device_interfaces.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {

namespace {

bool Fails(SimTrace& trace, const std::string& call, const std::string& detail = {}) {
    if (auto error = trace.Enter(call, detail)) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
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
    auto interfaces = m_tree.Interfaces(interfaceClass, (flags & win::kDigcfPresent) != 0);
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
    if (index >= it->second.size()) {
        SetLastErrorCode(win::kErrorNoMoreItems);
        return false;
    }
    data->interfaceClassGuid = interfaceClass;
    data->flags = it->second[index].present ? 1u : 0u;  // SPINT_ACTIVE
    data->reserved = index;
    return true;
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
    if (scope != win::kDicsFlagGlobal || keyType != win::kDiregDev) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return win::kInvalidHandleValue;
    }
    return m_registry.OpenHardwareKey(i->deviceId);
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
