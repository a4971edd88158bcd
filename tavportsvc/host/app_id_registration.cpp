// The AppID entries: the registry script resource and the "LocalService" value.
#include <string>

#include "tavportsvc/host/atl_service_module.h"
#include "tavportsvc/host/registrar.h"

namespace tav::host {
namespace {

inline constexpr char16_t kAppIdKey[] = u"AppID";
inline constexpr char16_t kLocalServiceValue[] = u"LocalService";
inline constexpr win::HResult kResourceNotFound =
    win::HResultFromWin32(win::kErrorResourceNameNotFound);

class ScopedRegKey {
  public:
    explicit ScopedRegKey(Registry& registry) : m_registry(registry) {}
    ~ScopedRegKey() {
        if (m_key)
            m_registry.CloseKey(m_key);
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    RegKey& Out() { return m_key; }
    RegKey Get() const { return m_key; }

  private:
    Registry& m_registry;
    RegKey m_key = 0;
};

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
    Registry& registry = m_platform.registry;
    ScopedRegKey appIdRoot(registry);
    uint32_t error =
        registry.OpenKey(win::kHkeyClassesRoot, kAppIdKey, win::kKeyWrite, appIdRoot.Out());
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    ScopedRegKey appId(registry);
    error = registry.CreateKey(appIdRoot.Get(), m_identity.appId, win::kKeyRead | win::kKeyWrite,
                               appId.Out());
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    registry.DeleteValue(appId.Get(), kLocalServiceValue);
    if (!withService)
        return win::kSOk;
    registry.SetStringValue(appId.Get(), kLocalServiceValue, m_szServiceName);
    return InstallService() ? win::kSOk : win::kEFail;
}

win::HResult CAtlServiceModuleT::UnregisterAppIdEntries() {
    if (!UninstallService())
        return win::kEFail;
    Registry& registry = m_platform.registry;
    ScopedRegKey appIdRoot(registry);
    uint32_t error =
        registry.OpenKey(win::kHkeyClassesRoot, kAppIdKey, win::kKeyWrite, appIdRoot.Out());
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    ScopedRegKey appId(registry);
    error = registry.OpenKey(appIdRoot.Get(), m_identity.appId, win::kKeyWrite, appId.Out());
    if (error != win::kErrorSuccess)
        return win::HResultFromWin32(error);
    registry.DeleteValue(appId.Get(), kLocalServiceValue);
    return ApplyRegistryScript(false, {{u"APPID", m_identity.appId}});
}

}  // namespace tav::host
