#pragma once
// The SetupAPI and configuration manager calls the PnP refresh needs. Results are kept as
// Windows gives them: BOOL as bool, CONFIGRET codes (0 = CR_SUCCESS), device nodes as
// DEVINST numbers; an invalid device information set is win::kNoHandle.

#include <cstdint>
#include <string>

#include "shared/guid.h"
#include "shared/win/pnp.h"
#include "shared/win/setup_api.h"
#include "tavsetup/printer_link/platform.h"

namespace tav::setup {

class PnpManager {
  public:
    virtual ~PnpManager() = default;
    // SetupDiClassGuidsFromNameW: fills up to `capacity` GUIDs; `required` is how many
    // classes have that name.
    virtual bool ClassGuidsFromName(const std::u16string& className, Guid* guids, uint32_t capacity,
                                    uint32_t* required) = 0;
    // SetupDiGetClassDevsW(class, no enumerator, no window, flags).
    virtual Handle GetClassDevs(const Guid& classGuid, uint32_t flags) = 0;
    // SetupDiEnumDeviceInfo: the device node of the set's device at `index`.
    virtual bool EnumDeviceInfo(Handle set, uint32_t index, uint32_t* devInst) = 0;
    virtual bool DestroyDeviceInfoList(Handle set) = 0;
    virtual uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) = 0;
    // CM_Get_Device_IDW: `length` in UTF-16 units.
    virtual uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                 uint32_t flags) = 0;
    virtual uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) = 0;
    // Re-enumerates synchronously: returns when the system has walked the node again.
    virtual uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) = 0;
};

}  // namespace tav::setup
