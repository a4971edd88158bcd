#pragma once
// Device I/O that notes every request on the wire and how it ended, and hands each call to
// the device I/O beneath unchanged: the IOCTL code and input, the bytes written, the size of
// each read, and the bytes or error that each operation ended with. After each wait it runs
// `afterWait` (the demonstration build lets real time catch up with the simulated wait).

#include <functional>
#include <map>

#include "tavsetup/printer_link/device_io.h"
#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class RecordingDeviceIo : public DeviceIo {
  public:
    RecordingDeviceIo(DeviceIo& inner, Timeline& timeline, std::function<void()> afterWait)
        : m_inner(inner), m_timeline(timeline), m_afterWait(std::move(afterWait)) {}

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

  private:
    // Where an operation's reply lands (none for a write), by its OVERLAPPED block.
    int Started(int result, Overlapped& ov, const void* reply, uint32_t* pCount);
    void Ended(int result, const void* reply, uint32_t count);

    DeviceIo& m_inner;
    Timeline& m_timeline;
    std::function<void()> m_afterWait;
    std::map<const Overlapped*, const void*> m_pending;
};

}  // namespace tav::demo
