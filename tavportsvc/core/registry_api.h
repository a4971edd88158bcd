#pragma once
// The registry calls of a port link: results are Win32 error codes (LSTATUS), 0 on success.

#include "tavportsvc/core/platform_types.h"

namespace tav::portsvc {

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // RegGetValueW(key, subKey, valueName, flags, type, data, dataSize).
    [[nodiscard]] virtual uint32_t GetValue(PlatformHandle key, const char16_t* subKey,
                                            const char16_t* valueName, uint32_t flags,
                                            uint32_t* type, void* data, uint32_t* dataSize) = 0;
    // RegCreateKeyExW(key, subKey, 0, no class, options, access, no security, result,
    // disposition).
    [[nodiscard]] virtual uint32_t CreateKey(PlatformHandle key, const char16_t* subKey,
                                             uint32_t options, uint32_t access,
                                             PlatformHandle* result, uint32_t* disposition) = 0;
    // RegSetValueExW(key, valueName, 0, type, data, dataSize).
    [[nodiscard]] virtual uint32_t SetValue(PlatformHandle key, const char16_t* valueName,
                                            uint32_t type, const void* data, uint32_t dataSize) = 0;
    // RegCloseKey.
    virtual uint32_t CloseKey(PlatformHandle key) = 0;
};

}  // namespace tav::portsvc
