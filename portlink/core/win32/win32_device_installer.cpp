#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include "portlink/core/win32/win32_port_adapters.h"

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
