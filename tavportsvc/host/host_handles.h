#pragma once
// Owners of the service control manager handles and type libraries the host opens; its
// registry keys are OwnedRegistryKeys.

#include "portlink/core/registry_key.h"
#include "shared/unique_handle.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::portsvc::host {

using OwnedScHandle =
    UniqueHandle<ScHandle, ScHandle{0}, ServiceControlManager, &ServiceControlManager::Close>;
using OwnedTypeLib = UniqueHandle<TypeLib, TypeLib{0}, TypeLibraries, &TypeLibraries::Release>;

}  // namespace tav::portsvc::host
