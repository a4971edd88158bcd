#include "printer/settings/win32/win32_pnp_manager.h"

#include <windows.h>

#include <cfgmgr32.h>

#include "shared/win32/wide.h"

namespace tav::setup {

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
