#include "tavportsvc/core/win32/win32_types.h"
// (windows.h first)
#include "tavportsvc/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

namespace {
using UpdateDriverProc = BOOL(WINAPI*)(HWND, LPCWSTR, LPCWSTR, DWORD, PBOOL);
}

uint32_t Win32DeviceInstaller::FullPathName(const char16_t* path, uint32_t bufferUnits,
                                            char16_t* buffer) {
    return ::GetFullPathNameW(W(path), bufferUnits, W(buffer), nullptr);
}

uint32_t Win32DeviceInstaller::FileAttributes(const char16_t* path) {
    return ::GetFileAttributesW(W(path));
}

bool Win32DeviceInstaller::GetInfClass(const char16_t* infPath, Guid* classGuid,
                                       char16_t* className, uint32_t classNameUnits,
                                       uint32_t* requiredSize) {
    GUID guid{};
    DWORD required = 0;
    BOOL ok = ::SetupDiGetINFClassW(W(infPath), &guid, W(className), classNameUnits, &required);
    std::memcpy(classGuid, &guid, sizeof guid);
    if (requiredSize)
        *requiredSize = required;
    return ok != FALSE;
}

PlatformHandle Win32DeviceInstaller::CreateDeviceInfoList(const Guid& classGuid) {
    GUID guid = ToWin32Guid(classGuid);
    return ToHandle(::SetupDiCreateDeviceInfoList(&guid, nullptr));
}

bool Win32DeviceInstaller::CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                            const Guid& classGuid, uint32_t flags,
                                            win::DevInfoData* out) {
    GUID guid = ToWin32Guid(classGuid);
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    BOOL ok = ::SetupDiCreateDeviceInfoW(FromHandle<HDEVINFO>(set), W(deviceName), &guid, nullptr,
                                         nullptr, flags, &data);
    *out = FromWin32(data);
    return ok != FALSE;
}

bool Win32DeviceInstaller::SetDeviceRegistryProperty(PlatformHandle set, win::DevInfoData* devInfo,
                                                     uint32_t property, const void* data,
                                                     uint32_t size) {
    SP_DEVINFO_DATA element = ToWin32(*devInfo);
    return ::SetupDiSetDeviceRegistryPropertyW(FromHandle<HDEVINFO>(set), &element, property,
                                               static_cast<const BYTE*>(data), size) != FALSE;
}

bool Win32DeviceInstaller::CallClassInstaller(uint32_t difCode, PlatformHandle set,
                                              win::DevInfoData* devInfo) {
    SP_DEVINFO_DATA element = ToWin32(*devInfo);
    return ::SetupDiCallClassInstaller(difCode, FromHandle<HDEVINFO>(set), &element) != FALSE;
}

bool Win32DeviceInstaller::DestroyDeviceInfoList(PlatformHandle set) {
    return ::SetupDiDestroyDeviceInfoList(FromHandle<HDEVINFO>(set)) != FALSE;
}

PlatformHandle Win32DeviceInstaller::LoadModule(const char16_t* name) {
    return ToHandle(::LoadLibraryW(W(name)));
}

void* Win32DeviceInstaller::FindExport(PlatformHandle module, const char* name) {
    FARPROC proc = ::GetProcAddress(FromHandle<HMODULE>(module), name);
    void* out = nullptr;
    static_assert(sizeof proc == sizeof out, "function pointer size");
    std::memcpy(&out, &proc, sizeof out);
    return out;
}

bool Win32DeviceInstaller::UnloadModule(PlatformHandle module) {
    return ::FreeLibrary(FromHandle<HMODULE>(module)) != FALSE;
}

bool Win32DeviceInstaller::UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId,
                                                     const char16_t* infPath, uint32_t flags,
                                                     bool* rebootRequired) {
    UpdateDriverProc update = nullptr;
    std::memcpy(&update, &proc, sizeof update);
    BOOL reboot = FALSE;
    BOOL ok = update(nullptr, W(hardwareId), W(infPath), flags, &reboot);
    *rebootRequired = reboot != FALSE;
    return ok != FALSE;
}

}  // namespace tav::portsvc
