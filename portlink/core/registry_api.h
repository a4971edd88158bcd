#pragma once
// The registry calls of the service: its port links, its registration and the AppID it reads
// at start. Results are Win32 error codes (LSTATUS), 0 on success. Keys are PlatformHandles;
// the predefined roots are win::kHkey*.

#include <string>

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // RegOpenKeyExW(key, subKey, 0, access, result).
    [[nodiscard]] virtual uint32_t OpenKey(PlatformHandle key, const std::u16string& subKey,
                                           uint32_t access, PlatformHandle& result) = 0;
    // RegCreateKeyExW(key, subKey, 0, no class, options, access, no security, result,
    // disposition); `disposition` may be null.
    [[nodiscard]] virtual uint32_t CreateKey(PlatformHandle key, const std::u16string& subKey,
                                             uint32_t options, uint32_t access,
                                             PlatformHandle& result, uint32_t* disposition) = 0;
    // RegGetValueW(key, subKey, valueName, flags, type, data, dataSize); an empty subKey is
    // the key itself, an empty valueName the default value. `type` may be null; `data` null
    // asks for the size.
    [[nodiscard]] virtual uint32_t GetValue(PlatformHandle key, const std::u16string& subKey,
                                            const std::u16string& valueName, uint32_t flags,
                                            uint32_t* type, void* data, uint32_t* dataSize) = 0;
    // RegSetValueExW(key, valueName, 0, type, data, dataSize).
    [[nodiscard]] virtual uint32_t SetValue(PlatformHandle key, const std::u16string& valueName,
                                            uint32_t type, const void* data, uint32_t dataSize) = 0;
    // RegDeleteValueW.
    [[nodiscard]] virtual uint32_t DeleteValue(PlatformHandle key,
                                               const std::u16string& valueName) = 0;
    // RegDeleteKeyW: refuses a key that has subkeys.
    [[nodiscard]] virtual uint32_t DeleteKey(PlatformHandle key, const std::u16string& subKey) = 0;
    // RegQueryInfoKeyW: the number of subkeys.
    [[nodiscard]] virtual uint32_t CountSubkeys(PlatformHandle key, uint32_t& count) = 0;
    // RegCloseKey.
    virtual uint32_t CloseKey(PlatformHandle key) = 0;
};

}  // namespace tav::portsvc
