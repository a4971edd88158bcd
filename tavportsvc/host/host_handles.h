#pragma once
// Owners of the registry keys, service control manager handles and type libraries the host
// opens.

#include <string>

#include "shared/unique_handle.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::host {

using OwnedRegKey = UniqueHandle<RegKey, RegKey{0}, Registry, &Registry::CloseKey>;
using OwnedScHandle =
    UniqueHandle<ScHandle, ScHandle{0}, ServiceControlManager, &ServiceControlManager::Close>;
using OwnedTypeLib = UniqueHandle<TypeLib, TypeLib{0}, TypeLibraries, &TypeLibraries::Release>;

// Registry::OpenKey or Registry::CreateKey (`call`) into an owner: the Win32 error. The
// owner holds whatever key the call handed back, so nothing it opened stays open.
using KeyCall = uint32_t (Registry::*)(RegKey, const std::u16string&, uint32_t, RegKey&);
[[nodiscard]] inline uint32_t KeyIntoOwner(Registry& registry, KeyCall call, RegKey parent,
                                           const std::u16string& subkey, uint32_t access,
                                           OwnedRegKey& key) {
    RegKey handed = 0;
    uint32_t error = (registry.*call)(parent, subkey, access, handed);
    key = OwnedRegKey(registry, handed);
    return error;
}

}  // namespace tav::host
