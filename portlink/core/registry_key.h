#pragma once
// An owned registry key, and the opening and writing forms every caller of RegistryApi uses.

#include <string>

#include "portlink/core/registry_api.h"
#include "shared/unique_handle.h"

namespace tav::portsvc {

// An open registry key (RegCloseKey). Port keys come from SetupDiOpenDevRegKey, whose
// failure value is checked before an owner is made.
using OwnedRegistryKey =
    UniqueHandle<PlatformHandle, win::kNoHandle, RegistryApi, &RegistryApi::CloseKey>;

// RegistryApi::OpenKey / CreateKey into an owner: the Win32 error. The owner holds whatever
// key the call handed back, so nothing it opened stays open.
[[nodiscard]] inline uint32_t OpenKeyInto(RegistryApi& registry, PlatformHandle parent,
                                          const std::u16string& subKey, uint32_t access,
                                          OwnedRegistryKey& key) {
    PlatformHandle handed = win::kNoHandle;
    uint32_t error = registry.OpenKey(parent, subKey, access, handed);
    key = OwnedRegistryKey(registry, handed);
    return error;
}
[[nodiscard]] inline uint32_t CreateKeyInto(RegistryApi& registry, PlatformHandle parent,
                                            const std::u16string& subKey, uint32_t options,
                                            uint32_t access, OwnedRegistryKey& key) {
    PlatformHandle handed = win::kNoHandle;
    uint32_t error = registry.CreateKey(parent, subKey, options, access, handed, nullptr);
    key = OwnedRegistryKey(registry, handed);
    return error;
}

// RegSetValueExW of a REG_SZ: `data` is stored with its terminating NUL. Empty name: the
// key's default value.
[[nodiscard]] inline uint32_t SetStringValue(RegistryApi& registry, PlatformHandle key,
                                             const std::u16string& name,
                                             const std::u16string& data) {
    const auto bytes = static_cast<uint32_t>((data.size() + 1) * sizeof(char16_t));
    return registry.SetValue(key, name, win::kRegSz, data.c_str(), bytes);
}

}  // namespace tav::portsvc
