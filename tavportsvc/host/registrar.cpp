#include "tavportsvc/host/registrar.h"

#include "shared/u16.h"
#include "tavportsvc/host/host_handles.h"

namespace tav::portsvc::host {
namespace {

constexpr uint32_t kKeyReadWrite = win::kKeyRead | win::kKeyWrite;

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

win::HResult RegisterKey(RegistryApi& registry, PlatformHandle parent, const ScriptKey& key) {
    OwnedRegistryKey handle;
    uint32_t error = CreateKeyInto(registry, parent, key.name, win::kRegOptionNonVolatile,
                                   kKeyReadWrite, handle);
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    if (key.hasDefault) {
        error = SetStringValue(registry, handle.get(), u"", key.defaultValue);
        if (error != win::kErrorSuccess)
            return win::HResultFromWin32(error);
    }
    for (const auto& value : key.values) {
        error = SetStringValue(registry, handle.get(), value.name, value.data);
        if (error != win::kErrorSuccess)
            return win::HResultFromWin32(error);
    }
    for (const auto& subkey : key.subkeys) {
        win::HResult hr = RegisterKey(registry, handle.get(), subkey);
        if (hr < 0)
            return hr;
    }
    return win::kSOk;
}

// A key or value already gone is what unregistration wants, so it is no failure.
bool IsGone(uint32_t error) {
    return error == win::kErrorSuccess || error == win::kErrorFileNotFound;
}

win::HResult UnregisterKey(RegistryApi& registry, PlatformHandle parent, const ScriptKey& key) {
    {
        OwnedRegistryKey handle;
        uint32_t error = OpenKeyInto(registry, parent, key.name, kKeyReadWrite, handle);
        if (error == win::kErrorFileNotFound)
            return win::kSOk;
        if (error != win::kErrorSuccess)
            return win::HResultFromWin32(error);
        for (const auto& subkey : key.subkeys) {
            win::HResult hr = UnregisterKey(registry, handle.get(), subkey);
            if (hr < 0)
                return hr;
        }
        for (const auto& value : key.values) {
            error = registry.DeleteValue(handle.get(), value.name);
            if (!IsGone(error))
                return win::HResultFromWin32(error);
        }
        if (key.noRemove)
            return win::kSOk;
        uint32_t subkeys = 0;
        error = registry.CountSubkeys(handle.get(), subkeys);
        if (error != win::kErrorSuccess)
            return win::HResultFromWin32(error);
        if (subkeys != 0)
            return win::kSOk;
    }
    uint32_t error = registry.DeleteKey(parent, key.name);
    return IsGone(error) ? win::kSOk : win::HResultFromWin32(error);
}

using KeyAction = win::HResult (*)(RegistryApi&, PlatformHandle, const ScriptKey&);

win::HResult ApplyRoots(RegistryApi& registry, const std::vector<ScriptRoot>& roots, bool perUser,
                        bool create, KeyAction action) {
    for (const auto& root : roots) {
        ScriptRootTarget target;
        if (!ResolveScriptRoot(root.rootName, perUser, target))
            return kScriptSyntaxError;
        OwnedRegistryKey base;
        PlatformHandle parent = target.root;
        if (!target.subkey.empty()) {
            uint32_t error =
                create ? CreateKeyInto(registry, target.root, target.subkey,
                                       win::kRegOptionNonVolatile, kKeyReadWrite, base)
                       : OpenKeyInto(registry, target.root, target.subkey, kKeyReadWrite, base);
            if (!create && error == win::kErrorFileNotFound)
                continue;
            if (error != win::kErrorSuccess)
                return win::HResultFromWin32(error);
            parent = base.get();
        }
        for (const auto& key : root.keys) {
            win::HResult hr = action(registry, parent, key);
            if (hr < 0)
                return hr;
        }
    }
    return win::kSOk;
}

}  // namespace

bool ResolveScriptRoot(const std::u16string& rootName, bool perUser, ScriptRootTarget& target) {
    static const struct {
        std::u16string_view shortName;
        std::u16string_view longName;
        PlatformHandle key;
    } kRoots[] = {
        {u"HKCR", u"HKEY_CLASSES_ROOT", win::kHkeyClassesRoot},
        {u"HKCU", u"HKEY_CURRENT_USER", win::kHkeyCurrentUser},
        {u"HKLM", u"HKEY_LOCAL_MACHINE", win::kHkeyLocalMachine},
        {u"HKU", u"HKEY_USERS", win::kHkeyUsers},
    };
    for (const auto& root : kRoots) {
        if (!EqualsNoCase(rootName, root.shortName) && !EqualsNoCase(rootName, root.longName))
            continue;
        target = {root.key, {}};
        if (perUser && root.key == win::kHkeyClassesRoot)
            target = {win::kHkeyCurrentUser, u"Software\\Classes"};
        return true;
    }
    return false;
}

win::HResult RegisterScript(RegistryApi& registry, const std::vector<ScriptRoot>& roots,
                            bool perUser) {
    return ApplyRoots(registry, roots, perUser, true, RegisterKey);
}

win::HResult UnregisterScript(RegistryApi& registry, const std::vector<ScriptRoot>& roots,
                              bool perUser) {
    return ApplyRoots(registry, roots, perUser, false, UnregisterKey);
}

win::HResult RunRegistryScript(RegistryApi& registry, std::u16string_view script,
                               const ScriptVariables& variables, bool doRegister, bool perUser) {
    std::u16string expanded;
    win::HResult hr = ExpandScriptVariables(script, variables, expanded);
    if (hr < 0)
        return hr;
    std::vector<ScriptRoot> roots;
    hr = ParseRegistryScript(expanded, roots);
    if (hr < 0)
        return hr;
    // Every root is checked before anything is written, so a bad root changes nothing.
    for (const auto& root : roots) {
        ScriptRootTarget target;
        if (!ResolveScriptRoot(root.rootName, perUser, target))
            return kScriptSyntaxError;
    }
    return doRegister ? RegisterScript(registry, roots, perUser)
                      : UnregisterScript(registry, roots, perUser);
}

}  // namespace tav::portsvc::host
