#pragma once
// Owners of the registry keys and service control manager handles the host opens.

#include <string>

#include "shared/unique_handle.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::host {

using OwnedRegKey = UniqueHandle<RegKey, RegKey{0}, Registry, &Registry::CloseKey>;
using OwnedScHandle =
    UniqueHandle<ScHandle, ScHandle{0}, ServiceControlManager, &ServiceControlManager::Close>;

// Registry::OpenKey / CreateKey into an owner: the Win32 error. The owner holds whatever
// key the call handed back, so nothing it opened stays open.
[[nodiscard]] inline uint32_t OpenKeyInto(Registry& registry, RegKey parent,
                                          const std::u16string& subkey, uint32_t access,
                                          OwnedRegKey& key) {
    RegKey opened = 0;
    uint32_t error = registry.OpenKey(parent, subkey, access, opened);
    key = OwnedRegKey(registry, opened);
    return error;
}

[[nodiscard]] inline uint32_t CreateKeyInto(Registry& registry, RegKey parent,
                                            const std::u16string& subkey, uint32_t access,
                                            OwnedRegKey& key) {
    RegKey created = 0;
    uint32_t error = registry.CreateKey(parent, subkey, access, created);
    key = OwnedRegKey(registry, created);
    return error;
}

}  // namespace tav::host
