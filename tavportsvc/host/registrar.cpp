#include "tavportsvc/host/registrar.h"

#include "shared/u16.h"
#include "tavportsvc/host/host_handles.h"

namespace tav::host {
namespace {

constexpr uint32_t kKeyReadWrite = kKeyRead | kKeyWrite;

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

HResult RegisterKey(Registry& registry, RegKey parent, const ScriptKey& key) {
    OwnedRegKey handle;
    uint32_t error =
        CreateKeyInto(registry, parent, key.name, kRegOptionNonVolatile, kKeyReadWrite, handle);
    if (error != kErrorSuccess)
        return HResultFromWin32(error);
    if (key.hasDefault) {
        error = registry.SetStringValue(handle.get(), u"", key.defaultValue);
        if (error != kErrorSuccess)
            return HResultFromWin32(error);
    }
    for (const auto& value : key.values) {
        error = registry.SetStringValue(handle.get(), value.name, value.data);
        if (error != kErrorSuccess)
            return HResultFromWin32(error);
    }
    for (const auto& subkey : key.subkeys) {
        HResult hr = RegisterKey(registry, handle.get(), subkey);
        if (hr < 0)
            return hr;
    }
    return kSOk;
}

// A key or value already gone is what unregistration wants, so it is no failure.
bool IsGone(uint32_t error) {
    return error == kErrorSuccess || error == kErrorFileNotFound;
}

HResult UnregisterKey(Registry& registry, RegKey parent, const ScriptKey& key) {
    {
        OwnedRegKey handle;
        uint32_t error = OpenKeyInto(registry, parent, key.name, kKeyReadWrite, handle);
        if (error == kErrorFileNotFound)
            return kSOk;
        if (error != kErrorSuccess)
            return HResultFromWin32(error);
        for (const auto& subkey : key.subkeys) {
            HResult hr = UnregisterKey(registry, handle.get(), subkey);
            if (hr < 0)
                return hr;
        }
        for (const auto& value : key.values) {
            error = registry.DeleteValue(handle.get(), value.name);
            if (!IsGone(error))
                return HResultFromWin32(error);
        }
        if (key.noRemove)
            return kSOk;
        uint32_t subkeys = 0;
        error = registry.CountSubkeys(handle.get(), subkeys);
        if (error != kErrorSuccess)
            return HResultFromWin32(error);
        if (subkeys != 0)
            return kSOk;
    }
    uint32_t error = registry.DeleteKey(parent, key.name);
    return IsGone(error) ? kSOk : HResultFromWin32(error);
}

using KeyAction = HResult (*)(Registry&, RegKey, const ScriptKey&);

HResult ApplyRoots(Registry& registry, const std::vector<ScriptRoot>& roots, bool perUser,
                   bool create, KeyAction action) {
    for (const auto& root : roots) {
        ScriptRootTarget target;
        if (!ResolveScriptRoot(root.rootName, perUser, target))
            return kScriptSyntaxError;
        OwnedRegKey base;
        RegKey parent = target.root;
        if (!target.subkey.empty()) {
            uint32_t error =
                create ? CreateKeyInto(registry, target.root, target.subkey, kRegOptionNonVolatile,
                                       kKeyReadWrite, base)
                       : OpenKeyInto(registry, target.root, target.subkey, kKeyReadWrite, base);
            if (!create && error == kErrorFileNotFound)
                continue;
            if (error != kErrorSuccess)
                return HResultFromWin32(error);
            parent = base.get();
        }
        for (const auto& key : root.keys) {
            HResult hr = action(registry, parent, key);
            if (hr < 0)
                return hr;
        }
    }
    return kSOk;
}

}  // namespace

bool ResolveScriptRoot(const std::u16string& rootName, bool perUser, ScriptRootTarget& target) {
    static const struct {
        std::u16string_view shortName;
        std::u16string_view longName;
        RegKey key;
    } kRoots[] = {
        {u"HKCR", u"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
        {u"HKCU", u"HKEY_CURRENT_USER", kHkeyCurrentUser},
        {u"HKLM", u"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
        {u"HKU", u"HKEY_USERS", kHkeyUsers},
    };
    for (const auto& root : kRoots) {
        if (!EqualsNoCase(rootName, root.shortName) && !EqualsNoCase(rootName, root.longName))
            continue;
        target = {root.key, {}};
        if (perUser && root.key == kHkeyClassesRoot)
            target = {kHkeyCurrentUser, u"Software\\Classes"};
        return true;
    }
    return false;
}

HResult RegisterScript(Registry& registry, const std::vector<ScriptRoot>& roots, bool perUser) {
    return ApplyRoots(registry, roots, perUser, true, RegisterKey);
}

HResult UnregisterScript(Registry& registry, const std::vector<ScriptRoot>& roots, bool perUser) {
    return ApplyRoots(registry, roots, perUser, false, UnregisterKey);
}

HResult RunRegistryScript(Registry& registry, std::u16string_view script,
                          const ScriptVariables& variables, bool doRegister, bool perUser) {
    std::u16string expanded;
    HResult hr = ExpandScriptVariables(script, variables, expanded);
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

}  // namespace tav::host
