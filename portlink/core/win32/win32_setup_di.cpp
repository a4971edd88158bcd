#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

PlatformHandle Win32SetupDi::GetClassDevs(const Guid& interfaceClass, uint32_t flags) {
    GUID guid = ToWin32Guid(interfaceClass);
    return ToHandle(::SetupDiGetClassDevsW(&guid, nullptr, nullptr, flags));
}

bool Win32SetupDi::EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass,
                                        uint32_t index, win::DeviceInterfaceData* data) {
    GUID guid = ToWin32Guid(interfaceClass);
    SP_DEVICE_INTERFACE_DATA out{};
    out.cbSize = sizeof out;
    if (!::SetupDiEnumDeviceInterfaces(FromHandle<HDEVINFO>(set), nullptr, &guid, index, &out))
        return false;
    *data = FromWin32(out);
    return true;
}

uint32_t Win32SetupDi::GetInterfaceDetailSize(PlatformHandle set,
                                              const win::DeviceInterfaceData& data) {
    SP_DEVICE_INTERFACE_DATA in = ToWin32(data);
    DWORD required = 0;
    ::SetupDiGetDeviceInterfaceDetailW(FromHandle<HDEVINFO>(set), &in, nullptr, 0, &required,
                                       nullptr);
    return required;
}

bool Win32SetupDi::GetInterfacePath(PlatformHandle set, const win::DeviceInterfaceData& data,
                                    uint32_t size, std::u16string* path) {
    auto* detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(::GlobalAlloc(GMEM_FIXED, size));
    if (!detail)
        return false;
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVICE_INTERFACE_DATA in = ToWin32(data);
    bool ok = ::SetupDiGetDeviceInterfaceDetailW(FromHandle<HDEVINFO>(set), &in, detail, size,
                                                 nullptr, nullptr) != FALSE;
    if (ok)
        *path = reinterpret_cast<const char16_t*>(detail->DevicePath);
    ::GlobalFree(detail);
    return ok;
}

bool Win32SetupDi::GetInterfaceDevInfo(PlatformHandle set, const win::DeviceInterfaceData& data,
                                       win::DevInfoData* devInfo) {
    SP_DEVICE_INTERFACE_DATA in = ToWin32(data);
    SP_DEVINFO_DATA out{};
    out.cbSize = sizeof out;
    BOOL ok = ::SetupDiGetDeviceInterfaceDetailW(FromHandle<HDEVINFO>(set), &in, nullptr, 0,
                                                 nullptr, &out);
    // The device data is filled in even when the call reports the missing detail buffer.
    DWORD error = ::GetLastError();
    *devInfo = FromWin32(out);
    ::SetLastError(error);
    return ok != FALSE;
}

PlatformHandle Win32SetupDi::OpenDevRegKey(PlatformHandle set, const win::DevInfoData& devInfo,
                                           uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                                           uint32_t access) {
    SP_DEVINFO_DATA in = ToWin32(devInfo);
    return ToHandle(
        ::SetupDiOpenDevRegKey(FromHandle<HDEVINFO>(set), &in, scope, hwProfile, keyType, access));
}

bool Win32SetupDi::GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                               uint32_t classNameUnits, uint32_t* requiredSize) {
    GUID guid{};
    DWORD required = 0;
    BOOL ok = ::SetupDiGetINFClassW(W(infPath), &guid, W(className), classNameUnits, &required);
    std::memcpy(classGuid, &guid, sizeof guid);
    if (requiredSize)
        *requiredSize = required;
    return ok != FALSE;
}

PlatformHandle Win32SetupDi::CreateDeviceInfoList(const Guid& classGuid) {
    GUID guid = ToWin32Guid(classGuid);
    return ToHandle(::SetupDiCreateDeviceInfoList(&guid, nullptr));
}

bool Win32SetupDi::CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                    const Guid& classGuid, uint32_t flags, win::DevInfoData* out) {
    GUID guid = ToWin32Guid(classGuid);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    BOOL ok = ::SetupDiCreateDeviceInfoW(FromHandle<HDEVINFO>(set), W(deviceName), &guid, nullptr,
                                         nullptr, flags, &data);
    *out = FromWin32(data);
    return ok != FALSE;
}

bool Win32SetupDi::SetDeviceRegistryProperty(PlatformHandle set, win::DevInfoData* devInfo,
                                             uint32_t property, const void* data, uint32_t size) {
    SP_DEVINFO_DATA element = ToWin32(*devInfo);
    return ::SetupDiSetDeviceRegistryPropertyW(FromHandle<HDEVINFO>(set), &element, property,
                                               static_cast<const BYTE*>(data), size) != FALSE;
}

bool Win32SetupDi::CallClassInstaller(uint32_t difCode, PlatformHandle set,
                                      win::DevInfoData* devInfo) {
    SP_DEVINFO_DATA element = ToWin32(*devInfo);
    return ::SetupDiCallClassInstaller(difCode, FromHandle<HDEVINFO>(set), &element) != FALSE;
}

bool Win32SetupDi::DestroyDeviceInfoList(PlatformHandle set) {
    return ::SetupDiDestroyDeviceInfoList(FromHandle<HDEVINFO>(set)) != FALSE;
}

}  // namespace tav::portsvc
