#include "printer/link/win32/win32_device_io.h"

#include <windows.h>

#include <new>
#include <vector>

#include "printer/link/win32/native_handle.h"
#include "shared/win32/wide.h"

namespace tav::setup {
namespace {

static_assert(sizeof(OVERLAPPED) <= sizeof(Overlapped::block), "OVERLAPPED fits the block");
static_assert(alignof(OVERLAPPED) <= 8, "OVERLAPPED alignment");

// A fresh OVERLAPPED in the attempt's block, for a new operation.
OVERLAPPED* StartBlock(Overlapped& ov) {
    OVERLAPPED* native = new (ov.block) OVERLAPPED();
    native->hEvent = ToNative(ov.hEvent);
    return native;
}

OVERLAPPED* BlockOf(Overlapped& ov) {
    return std::launder(reinterpret_cast<OVERLAPPED*>(ov.block));
}

}  // namespace

static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE, "access");
static_assert(kFileShareRead == FILE_SHARE_READ, "share mode");
static_assert(kFileFlagOverlapped == FILE_FLAG_OVERLAPPED, "flags");

Handle Win32DeviceIo::OpenDevice(const std::u16string& path, const DeviceOpenMode& mode) {
    return FromNativeOrInvalid(::CreateFileW(AsWide(path), mode.access, mode.shareMode, nullptr,
                                             OPEN_EXISTING, mode.flags, nullptr));
}

int Win32DeviceIo::CloseHandle(Handle handle) {
    return ::CloseHandle(ToNative(handle));
}

int Win32DeviceIo::DeviceIoControl(Handle device, uint32_t code, const void* inBuffer,
                                   uint32_t inSize, void* outBuffer, uint32_t outSize,
                                   uint32_t* pCount, Overlapped& ov) {
    DWORD count = 0;
    const BOOL ok = ::DeviceIoControl(ToNative(device), code, const_cast<void*>(inBuffer), inSize,
                                      outBuffer, outSize, &count, StartBlock(ov));
    *pCount = count;
    return ok;
}

int Win32DeviceIo::WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                             Overlapped& ov) {
    DWORD count = 0;
    const BOOL ok = ::WriteFile(ToNative(device), buffer, size, &count, StartBlock(ov));
    *pCount = count;
    return ok;
}

int Win32DeviceIo::ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                            Overlapped& ov) {
    DWORD count = 0;
    const BOOL ok = ::ReadFile(ToNative(device), buffer, size, &count, StartBlock(ov));
    *pCount = count;
    return ok;
}

int Win32DeviceIo::CancelIo(Handle device) {
    return ::CancelIo(ToNative(device));
}

int Win32DeviceIo::GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount, int bWait) {
    DWORD count = 0;
    const BOOL ok = ::GetOverlappedResult(ToNative(device), BlockOf(ov), &count, bWait);
    *pCount = count;
    return ok;
}

Handle Win32DeviceIo::CreateAutoResetEvent() {
    return FromNative(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

int Win32DeviceIo::ResetEvent(Handle event) {
    return ::ResetEvent(ToNative(event));
}

uint32_t Win32DeviceIo::WaitForMultipleObjects(uint32_t count, const Handle* handles, int bWaitAll,
                                               uint32_t timeoutMs) {
    std::vector<HANDLE> native(count);
    for (uint32_t i = 0; i < count; ++i)
        native[i] = ToNative(handles[i]);
    return ::WaitForMultipleObjects(count, native.data(), bWaitAll, timeoutMs);
}

}  // namespace tav::setup
