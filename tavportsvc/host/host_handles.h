#pragma once
// Owners of the registry keys, service control manager handles and type libraries the host
// opens.

#include <string>

#include "shared/unique_handle.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::portsvc::host {

using OwnedRegKey = UniqueHandle<RegKey, RegKey{0}, Registry, &Registry::CloseKey>;
using OwnedScHandle =
    UniqueHandle<ScHandle, ScHandle{0}, ServiceControlManager, &ServiceControlManager::Close>;
using OwnedTypeLib = UniqueHandle<TypeLib, TypeLib{0}, TypeLibraries, &TypeLibraries::Release>;

// Registry::OpenKey / Registry::CreateKey into an owner: the Win32 error. The owner holds
// whatever key the call handed back, so nothing it opened stays open.
[[nodiscard]] inline uint32_t OpenKeyInto(Registry& registry, RegKey parent,
                                          const std::u16string& subkey, uint32_t access,
                                          OwnedRegKey& key) {
    RegKey handed = 0;
    uint32_t error = registry.OpenKey(parent, subkey, access, handed);
    key = OwnedRegKey(registry, handed);
    return error;
}
[[nodiscard]] inline uint32_t CreateKeyInto(Registry& registry, RegKey parent,
                                            const std::u16string& subkey, uint32_t options,
                                            uint32_t access, OwnedRegKey& key) {
    RegKey handed = 0;
    uint32_t error = registry.CreateKey(parent, subkey, options, access, handed);
    key = OwnedRegKey(registry, handed);
    return error;
}

}  // namespace tav::portsvc::host
