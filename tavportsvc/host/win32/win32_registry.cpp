#include <windows.h>

#include "shared/win32/wide.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {
namespace {

HKEY AsKey(RegKey key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

uint32_t Win32Registry::OpenKey(RegKey parent, const std::u16string& subkey, uint32_t access,
                                RegKey& key) {
    HKEY opened = nullptr;
    LSTATUS status = ::RegOpenKeyExW(AsKey(parent), AsWide(subkey), 0, access, &opened);
    key = reinterpret_cast<RegKey>(opened);
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::CreateKey(RegKey parent, const std::u16string& subkey, uint32_t options,
                                  uint32_t access, RegKey& key) {
    HKEY created = nullptr;
    LSTATUS status = ::RegCreateKeyExW(AsKey(parent), AsWide(subkey), 0, nullptr, options, access,
                                       nullptr, &created, nullptr);
    key = reinterpret_cast<RegKey>(created);
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::SetStringValue(RegKey key, const std::u16string& name,
                                       const std::u16string& data) {
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return static_cast<uint32_t>(::RegSetValueExW(
        AsKey(key), AsWide(name), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes));
}

uint32_t Win32Registry::DeleteValue(RegKey key, const std::u16string& name) {
    return static_cast<uint32_t>(::RegDeleteValueW(AsKey(key), AsWide(name)));
}

uint32_t Win32Registry::DeleteKey(RegKey parent, const std::u16string& subkey) {
    return static_cast<uint32_t>(::RegDeleteKeyW(AsKey(parent), AsWide(subkey)));
}

uint32_t Win32Registry::CountSubkeys(RegKey key, uint32_t& count) {
    DWORD subkeys = 0;
    LSTATUS status = ::RegQueryInfoKeyW(AsKey(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    count = subkeys;
    return static_cast<uint32_t>(status);
}

void Win32Registry::CloseKey(RegKey key) {
    ::RegCloseKey(AsKey(key));
}

}  // namespace tav::portsvc::host
