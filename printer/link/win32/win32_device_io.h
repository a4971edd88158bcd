#pragma once
// DeviceIo over kernel32: one Windows call per method.

#include "printer/link/device_io.h"

namespace tav::setup {

class Win32DeviceIo : public DeviceIo {
  public:
    Handle OpenDevice(const std::u16string& path, const DeviceOpenMode& mode) override;
    int CloseHandle(Handle handle) override;
    int DeviceIoControl(Handle device, uint32_t code, const void* inBuffer, uint32_t inSize,
                        void* outBuffer, uint32_t outSize, uint32_t* pCount,
                        Overlapped& ov) override;
    int WriteFile(Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                  Overlapped& ov) override;
    int ReadFile(Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                 Overlapped& ov) override;
    int CancelIo(Handle device) override;
    int GetOverlappedResult(Handle device, Overlapped& ov, uint32_t* pCount, int bWait) override;
    Handle CreateAutoResetEvent() override;
    int ResetEvent(Handle event) override;
    uint32_t WaitForMultipleObjects(uint32_t count, const Handle* handles, int bWaitAll,
                                    uint32_t timeoutMs) override;
};

}  // namespace tav::setup
