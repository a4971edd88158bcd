#pragma once
// Applies a parsed registry script: registering creates keys and values; unregistering
// deletes the script's values and then every key without NoRemove that has no subkeys left.

#include <vector>

#include "tavportsvc/host/host_platform.h"
#include "tavportsvc/host/registry_script.h"

namespace tav::portsvc::host {

// Where a script's root goes. In per-user mode HKCR is rewritten to HKCU\Software\Classes.
struct ScriptRootTarget {
    PlatformHandle root = 0;
    std::u16string subkey;  // opened below `root` first, or empty
};

// False for a root name the registrar does not know.
[[nodiscard]] bool ResolveScriptRoot(const std::u16string& rootName, bool perUser,
                                     ScriptRootTarget& target);

[[nodiscard]] win::HResult RegisterScript(RegistryApi& registry,
                                          const std::vector<ScriptRoot>& roots, bool perUser);
[[nodiscard]] win::HResult UnregisterScript(RegistryApi& registry,
                                            const std::vector<ScriptRoot>& roots, bool perUser);

// Expands, parses and registers or unregisters a script text in one step.
[[nodiscard]] win::HResult RunRegistryScript(RegistryApi& registry, std::u16string_view script,
                                             const ScriptVariables& variables, bool doRegister,
                                             bool perUser);

}  // namespace tav::portsvc::host
