#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

PlatformHandle Win32Sync::CreateUnnamedEvent(bool manualReset, bool initialState) {
    return ToHandle(::CreateEventW(nullptr, manualReset, initialState, nullptr));
}

uint32_t Win32Sync::WaitForObject(PlatformHandle handle, uint32_t milliseconds) {
    return ::WaitForSingleObject(FromHandle<HANDLE>(handle), milliseconds);
}

bool Win32Sync::SignalEvent(PlatformHandle handle) {
    return ::SetEvent(FromHandle<HANDLE>(handle)) != FALSE;
}

PlatformHandle Win32Sync::OpenNamedMutex(uint32_t access, bool inherit, const char16_t* name) {
    return ToHandle(::OpenMutexW(access, inherit, W(name)));
}

bool Win32Sync::ReleaseOwnedMutex(PlatformHandle handle) {
    return ::ReleaseMutex(FromHandle<HANDLE>(handle)) != FALSE;
}

bool Win32Sync::CloseObject(PlatformHandle handle) {
    return ::CloseHandle(FromHandle<HANDLE>(handle)) != FALSE;
}

}  // namespace tav::portsvc
