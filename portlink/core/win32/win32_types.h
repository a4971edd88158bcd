#pragma once
// Conversions between the core's platform records and the Windows ones. Windows builds only.

#include <windows.h>
// (after windows.h)
#include <setupapi.h>

#include <cstring>

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

inline GUID ToWin32Guid(const Guid& g) {
    static_assert(sizeof(GUID) == sizeof(Guid), "GUID layout");
    GUID out;
    std::memcpy(&out, &g, sizeof out);
    return out;
}

template <typename T>
T FromHandle(PlatformHandle h) {
    return reinterpret_cast<T>(h);
}

template <typename T>
PlatformHandle ToHandle(T h) {
    return reinterpret_cast<PlatformHandle>(h);
}

inline SP_DEVICE_INTERFACE_DATA ToWin32(const win::DeviceInterfaceData& d) {
    SP_DEVICE_INTERFACE_DATA out{};
    out.cbSize = sizeof out;
    out.InterfaceClassGuid = ToWin32Guid(d.interfaceClassGuid);
    out.Flags = d.flags;
    out.Reserved = d.reserved;
    return out;
}

inline win::DeviceInterfaceData FromWin32(const SP_DEVICE_INTERFACE_DATA& d) {
    win::DeviceInterfaceData out;
    std::memcpy(&out.interfaceClassGuid, &d.InterfaceClassGuid, sizeof(GUID));
    out.flags = d.Flags;
    out.reserved = d.Reserved;
    return out;
}

inline SP_DEVINFO_DATA ToWin32(const win::DevInfoData& d) {
    SP_DEVINFO_DATA out{};
    out.cbSize = sizeof out;
    out.ClassGuid = ToWin32Guid(d.classGuid);
    out.DevInst = d.devInst;
    out.Reserved = d.reserved;
    return out;
}

inline win::DevInfoData FromWin32(const SP_DEVINFO_DATA& d) {
    win::DevInfoData out;
    std::memcpy(&out.classGuid, &d.ClassGuid, sizeof(GUID));
    out.devInst = d.DevInst;
    out.reserved = d.Reserved;
    return out;
}

inline const wchar_t* W(const char16_t* s) {
    return reinterpret_cast<const wchar_t*>(s);
}
inline wchar_t* W(char16_t* s) {
    return reinterpret_cast<wchar_t*>(s);
}

}  // namespace tav::portsvc
