#pragma once
// PnpManager over the configuration manager.

#include "printer/settings/pnp_manager.h"

namespace tav::setup {

class Win32PnpManager : public PnpManager {
  public:
    uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) override;
    uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                         uint32_t flags) override;
    uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) override;
    uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) override;
};

}  // namespace tav::setup
