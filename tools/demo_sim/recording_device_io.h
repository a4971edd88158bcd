#pragma once
// Device I/O that notes every request on the wire and how it ended, and hands each call to
// the device I/O beneath unchanged: the IOCTL code and input, the bytes written, the size of
// each read, and the bytes or error that each operation ended with. After each wait it runs
// `afterWait` (the demonstration build lets real time catch up with the simulated wait).

#include <functional>
#include <map>

#include "printer/link/device_io.h"
#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class RecordingDeviceIo : public setup::DeviceIo {
  public:
    RecordingDeviceIo(setup::DeviceIo& inner, Timeline& timeline, std::function<void()> afterWait)
        : m_inner(inner), m_timeline(timeline), m_afterWait(std::move(afterWait)) {}

    setup::Handle OpenDevice(const std::u16string& path,
                             const setup::DeviceOpenMode& mode) override;
    int CloseHandle(setup::Handle handle) override;
    int DeviceIoControl(setup::Handle device, uint32_t code, const void* inBuffer, uint32_t inSize,
                        void* outBuffer, uint32_t outSize, uint32_t* pCount,
                        setup::Overlapped& ov) override;
    int WriteFile(setup::Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                  setup::Overlapped& ov) override;
    int ReadFile(setup::Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                 setup::Overlapped& ov) override;
    int CancelIo(setup::Handle device) override;
    int GetOverlappedResult(setup::Handle device, setup::Overlapped& ov, uint32_t* pCount,
                            int bWait) override;
    setup::Handle CreateAutoResetEvent() override;
    int ResetEvent(setup::Handle event) override;
    uint32_t WaitForMultipleObjects(uint32_t count, const setup::Handle* handles, int bWaitAll,
                                    uint32_t timeoutMs) override;

  private:
    // Where an operation's reply lands (none for a write), by its OVERLAPPED block.
    int Started(int result, setup::Overlapped& ov, const void* reply, uint32_t* pCount);
    void Ended(int result, const void* reply, uint32_t count);

    setup::DeviceIo& m_inner;
    Timeline& m_timeline;
    std::function<void()> m_afterWait;
    std::map<const setup::Overlapped*, const void*> m_pending;
};

}  // namespace tav::demo
