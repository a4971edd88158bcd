#pragma once
// The configuration manager calls the PnP refresh needs; the devices it walks come from
// SetupAPI (DeviceSetup). Results are kept as Windows gives them: CONFIGRET codes
// (0 = CR_SUCCESS), device nodes as DEVINST numbers.

#include <cstdint>

#include "shared/win/pnp.h"

namespace tav::setup {

class PnpManager {
  public:
    virtual ~PnpManager() = default;
    virtual uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) = 0;
    // CM_Get_Device_IDW: `length` in UTF-16 units.
    virtual uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                 uint32_t flags) = 0;
    virtual uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) = 0;
    // Re-enumerates synchronously: returns when the system has walked the node again.
    virtual uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) = 0;
};

}  // namespace tav::setup
