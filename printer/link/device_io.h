#pragma once
// Device I/O as the transport needs it: open a device interface path for overlapped I/O,
// start an operation, wait for its event, collect or cancel it. Results and error codes are
// Windows' own (TRUE/FALSE with the thread's last error; 997 pending, 995 aborted, 996
// incomplete).

#include <cstdint>
#include <string>

#include "printer/link/platform.h"

namespace tav::setup {

// An OVERLAPPED block owned by one attempt. `block` is the platform's own record (the
// Windows adapter builds its OVERLAPPED in place); it must outlive the operation, which is
// why every attempt ends only after its operation has ended.
struct Overlapped {
    Handle hEvent = win::kNoHandle;
    alignas(8) unsigned char block[32] = {};
};

// CreateFileW's access, share mode and flags (own names: the Windows ones are macros).
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kFileShareRead = 0x1;
inline constexpr uint32_t kFileFlagOverlapped = 0x40000000;

struct DeviceOpenMode {
    uint32_t access = 0;
    uint32_t shareMode = 0;
    uint32_t flags = 0;
};

class DeviceIo {
  public:
    virtual ~DeviceIo() = default;

    // CreateFileW(path, mode.access, mode.shareMode, no security, OPEN_EXISTING, mode.flags,
    // no template). win::kNoHandle on failure.
    virtual Handle OpenDevice(const std::u16string& path, const DeviceOpenMode& mode) = 0;
    // CloseHandle on a device or event handle.
    virtual int CloseHandle(Handle handle) = 0;

    // Overlapped DeviceIoControl / WriteFile / ReadFile. TRUE: completed at once with
    // *pCount bytes; FALSE with 997: pending, completion signals ov.hEvent.
    virtual int DeviceIoControl(Handle device, uint32_t code, const void* inBuffer, uint32_t inSize,
                                void* outBuffer, uint32_t outSize, uint32_t* pCount,
                                Overlapped& ov) = 0;
    virtual int WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                          Overlapped& ov) = 0;
    virtual int ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                         Overlapped& ov) = 0;

    // CancelIo: cancels the handle's pending operations of this thread.
    virtual int CancelIo(Handle device) = 0;
    // GetOverlappedResult; bWait 0 fails with 996 while the operation is still going.
    virtual int GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount, int bWait) = 0;

    // CreateEventW(no attributes, auto-reset, not signalled, no name). win::kNoHandle on failure.
    virtual Handle CreateAutoResetEvent() = 0;
    virtual int ResetEvent(Handle event) = 0;
    // WaitForMultipleObjects: win::kWaitObject0 + index, win::kWaitTimeout, win::kWaitFailed, ...
    virtual uint32_t WaitForMultipleObjects(uint32_t count, const Handle* handles, int bWaitAll,
                                            uint32_t timeoutMs) = 0;
};

}  // namespace tav::setup
