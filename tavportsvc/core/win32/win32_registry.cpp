#include "tavportsvc/core/win32/win32_types.h"
// (windows.h first)
#include "tavportsvc/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

uint32_t Win32Registry::GetValue(PlatformHandle key, const char16_t* subKey,
                                 const char16_t* valueName, uint32_t flags, uint32_t* type,
                                 void* data, uint32_t* dataSize) {
    DWORD winType = 0;
    DWORD size = dataSize ? *dataSize : 0;
    LONG status = ::RegGetValueW(FromHandle<HKEY>(key), W(subKey), W(valueName), flags,
                                 type ? &winType : nullptr, data, dataSize ? &size : nullptr);
    if (type)
        *type = winType;
    if (dataSize)
        *dataSize = size;
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::CreateKey(PlatformHandle key, const char16_t* subKey, uint32_t options,
                                  uint32_t access, PlatformHandle* result, uint32_t* disposition) {
    HKEY created = nullptr;
    DWORD winDisposition = 0;
    LONG status = ::RegCreateKeyExW(FromHandle<HKEY>(key), W(subKey), 0, nullptr, options, access,
                                    nullptr, &created, &winDisposition);
    *result = ToHandle(created);
    if (disposition)
        *disposition = winDisposition;
    return static_cast<uint32_t>(status);
}

uint32_t Win32Registry::SetValue(PlatformHandle key, const char16_t* valueName, uint32_t type,
                                 const void* data, uint32_t dataSize) {
    return static_cast<uint32_t>(::RegSetValueExW(FromHandle<HKEY>(key), W(valueName), 0, type,
                                                  static_cast<const BYTE*>(data), dataSize));
}

uint32_t Win32Registry::CloseKey(PlatformHandle key) {
    return static_cast<uint32_t>(::RegCloseKey(FromHandle<HKEY>(key)));
}

}  // namespace tav::portsvc
