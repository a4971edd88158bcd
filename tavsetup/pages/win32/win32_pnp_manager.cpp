#include "tavsetup/pages/win32/win32_pnp_manager.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>

#include "shared/win32/wide.h"

namespace tav::setup {

namespace {

static_assert(sizeof(GUID) == sizeof(Guid), "GUID layout");

HDEVINFO ToSet(Handle set) {
    return reinterpret_cast<HDEVINFO>(set);
}

}  // namespace

bool Win32PnpManager::ClassGuidsFromName(const std::u16string& className, Guid* guids,
                                         uint32_t capacity, uint32_t* required) {
    GUID found[1] = {};
    DWORD needed = 0;
    const BOOL ok =
        ::SetupDiClassGuidsFromNameW(AsWide(className), found, capacity < 1 ? 0 : 1, &needed);
    if (ok && needed >= 1 && capacity >= 1)
        std::memcpy(guids, &found[0], sizeof(GUID));
    *required = needed;
    return ok != FALSE;
}

Handle Win32PnpManager::GetClassDevs(const Guid& classGuid, uint32_t flags) {
    GUID guid;
    std::memcpy(&guid, &classGuid, sizeof guid);
    const HDEVINFO set = ::SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags);
    return set == INVALID_HANDLE_VALUE ? win::kNoHandle : reinterpret_cast<Handle>(set);
}

bool Win32PnpManager::EnumDeviceInfo(Handle set, uint32_t index, uint32_t* devInst) {
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    if (!::SetupDiEnumDeviceInfo(ToSet(set), index, &data))
        return false;
    *devInst = data.DevInst;
    return true;
}

bool Win32PnpManager::DestroyDeviceInfoList(Handle set) {
    return ::SetupDiDestroyDeviceInfoList(ToSet(set)) != FALSE;
}

uint32_t Win32PnpManager::GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) {
    DEVINST found = 0;
    const CONFIGRET cr = ::CM_Get_Parent(&found, devInst, flags);
    *parent = found;
    return cr;
}

uint32_t Win32PnpManager::GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                      uint32_t flags) {
    return ::CM_Get_Device_IDW(devInst, reinterpret_cast<PWSTR>(buffer), length, flags);
}

uint32_t Win32PnpManager::LocateDevNode(uint32_t* devInst, const char16_t* deviceId,
                                        uint32_t flags) {
    DEVINST found = 0;
    const CONFIGRET cr =
        ::CM_Locate_DevNodeW(&found, const_cast<DEVINSTID_W>(AsWide(deviceId)), flags);
    *devInst = found;
    return cr;
}

uint32_t Win32PnpManager::ReenumerateDevNode(uint32_t devInst, uint32_t flags) {
    return ::CM_Reenumerate_DevNode(devInst, flags);
}

}  // namespace tav::setup
