#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include "portlink/core/win32/win32_port_adapters.h"
#include "shared/win32/wide.h"

namespace tav::portsvc {

uint32_t Win32Registry::OpenKey(PlatformHandle key, const std::u16string& subKey, uint32_t access,
                                PlatformHandle& result) {
    HKEY opened = nullptr;
    LSTATUS status = ::RegOpenKeyExW(FromHandle<HKEY>(key), AsWide(subKey), 0, access, &opened);
    result = ToHandle(opened);
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::CreateKey(PlatformHandle key, const std::u16string& subKey,
                                  uint32_t options, uint32_t access, PlatformHandle& result,
                                  uint32_t* disposition) {
    HKEY created = nullptr;
    DWORD winDisposition = 0;
    LSTATUS status = ::RegCreateKeyExW(FromHandle<HKEY>(key), AsWide(subKey), 0, nullptr, options,
                                       access, nullptr, &created, &winDisposition);
    result = ToHandle(created);
    if (disposition)
        *disposition = winDisposition;
    return static_cast<uint32_t>(status);
}

// An empty subkey goes as NULL: the value is read from the key itself.
uint32_t Win32Registry::GetValue(PlatformHandle key, const std::u16string& subKey,
                                 const std::u16string& valueName, uint32_t flags, uint32_t* type,
                                 void* data, uint32_t* dataSize) {
    DWORD winType = 0;
    DWORD size = dataSize ? *dataSize : 0;
    LSTATUS status = ::RegGetValueW(
        FromHandle<HKEY>(key), subKey.empty() ? nullptr : AsWide(subKey), AsWide(valueName), flags,
        type ? &winType : nullptr, data, dataSize ? &size : nullptr);
    if (type)
        *type = winType;
    if (dataSize)
        *dataSize = size;
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::SetValue(PlatformHandle key, const std::u16string& valueName, uint32_t type,
                                 const void* data, uint32_t dataSize) {
    return static_cast<uint32_t>(::RegSetValueExW(FromHandle<HKEY>(key), AsWide(valueName), 0, type,
                                                  static_cast<const BYTE*>(data), dataSize));
}

uint32_t Win32Registry::DeleteValue(PlatformHandle key, const std::u16string& valueName) {
    return static_cast<uint32_t>(::RegDeleteValueW(FromHandle<HKEY>(key), AsWide(valueName)));
}

uint32_t Win32Registry::DeleteKey(PlatformHandle key, const std::u16string& subKey) {
    return static_cast<uint32_t>(::RegDeleteKeyW(FromHandle<HKEY>(key), AsWide(subKey)));
}

uint32_t Win32Registry::CountSubkeys(PlatformHandle key, uint32_t& count) {
    DWORD subkeys = 0;
    LSTATUS status =
        ::RegQueryInfoKeyW(FromHandle<HKEY>(key), nullptr, nullptr, nullptr, &subkeys, nullptr,
                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    count = subkeys;
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::CloseKey(PlatformHandle key) {
    return static_cast<uint32_t>(::RegCloseKey(FromHandle<HKEY>(key)));
}

}  // namespace tav::portsvc
