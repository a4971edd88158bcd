// The AppID entries: the registry script resource and the "LocalService" value.
#include <string>

#include "tavportsvc/host/atl_service_module.h"
#include "tavportsvc/host/host_handles.h"
#include "tavportsvc/host/registrar.h"

namespace tav::portsvc::host {
namespace {

inline constexpr char16_t kAppIdKey[] = u"AppID";
inline constexpr char16_t kLocalServiceValue[] = u"LocalService";
inline constexpr win::HResult kResourceNotFound =
    win::HResultFromWin32(win::kErrorResourceNameNotFound);

std::u16string DoubleApostrophes(const std::u16string& text) {
    std::u16string doubled;
    for (char16_t c : text) {
        doubled += c;
        if (c == u'\'')
            doubled += u'\'';
    }
    return doubled;
}

}  // namespace

void CAtlServiceModuleT::AddScriptReplacements(ScriptVariables& variables) {
    variables.emplace_back(u"APPID", m_identity.appId);
}

win::HResult CAtlServiceModuleT::ModulePath(std::u16string& path) {
    uint32_t error = 0;
    uint32_t length = m_platform.image.FileName(kModulePathCapacity, path, error);
    if (length == 0)
        return win::HResultFromWin32(error);
    if (length >= kModulePathCapacity)
        return kHResultPathTooLong;
    return win::kSOk;
}

win::HResult CAtlServiceModuleT::ApplyRegistryScript(bool doRegister,
                                                     const ScriptVariables& replacements) {
    ScriptVariables variables = replacements;
    AddScriptReplacements(variables);
    std::u16string path;
    win::HResult hr = ModulePath(path);
    if (hr < 0)
        return hr;
    const std::u16string raw = DoubleApostrophes(path);
    variables.emplace_back(u"Module", u"\"" + raw + u"\"");
    variables.emplace_back(u"Module_Raw", raw);

    std::vector<uint8_t> bytes;
    if (!m_platform.image.LoadResource(u"REGISTRY", kRegistryScriptId, bytes))
        return kResourceNotFound;
    std::u16string script(bytes.begin(), bytes.end());
    return RunRegistryScript(m_platform.registry, script, variables, doRegister, m_bPerUser);
}

win::HResult CAtlServiceModuleT::RegisterAppIdEntries(bool withService) {
    if (!UninstallService())
        return win::kEFail;
    win::HResult hr = ApplyRegistryScript(true, {{u"APPID", m_identity.appId}});
    if (hr < 0)
        return hr;
    RegistryApi& registry = m_platform.registry;
    OwnedRegistryKey appIdRoot;
    uint32_t error =
        OpenKeyInto(registry, win::kHkeyClassesRoot, kAppIdKey, win::kKeyWrite, appIdRoot);
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    OwnedRegistryKey appId;
    error = CreateKeyInto(registry, appIdRoot.get(), m_identity.appId, win::kRegOptionNonVolatile,
                          win::kKeyRead | win::kKeyWrite, appId);
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    // A value already absent is the goal; the value is rewritten below when wanted.
    static_cast<void>(registry.DeleteValue(appId.get(), kLocalServiceValue));
    if (!withService)
        return win::kSOk;
    // As the service-module convention has it, a value that cannot be written does not
    // stop the installation; the service entry is what the manager starts.
    static_cast<void>(SetStringValue(registry, appId.get(), kLocalServiceValue, m_szServiceName));
    return InstallService() ? win::kSOk : win::kEFail;
}

win::HResult CAtlServiceModuleT::UnregisterAppIdEntries() {
    if (!UninstallService())
        return win::kEFail;
    RegistryApi& registry = m_platform.registry;
    OwnedRegistryKey appIdRoot;
    uint32_t error =
        OpenKeyInto(registry, win::kHkeyClassesRoot, kAppIdKey, win::kKeyWrite, appIdRoot);
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    OwnedRegistryKey appId;
    error = OpenKeyInto(registry, appIdRoot.get(), m_identity.appId, win::kKeyWrite, appId);
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    // A value already absent is the goal; a failure leaves the script to remove the key.
    static_cast<void>(registry.DeleteValue(appId.get(), kLocalServiceValue));
    return ApplyRegistryScript(false, {{u"APPID", m_identity.appId}});
}

}  // namespace tav::portsvc::host
