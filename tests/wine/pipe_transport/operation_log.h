#pragma once
// Device I/O that hands every call to the real adapter and keeps the operations issued
// ("write 13", "read 128") and the byte count each one ended with, so a case can tell a
// repeated read from a single one.

#include <map>
#include <string>
#include <vector>

#include "printer/link/device_io.h"

namespace tav::pipetest {

class OperationLog : public setup::DeviceIo {
  public:
    explicit OperationLog(setup::DeviceIo& inner) : m_inner(inner) {}

    // "write 13 -> 13", "read 64 -> 0", "read 64 -> failed 995", in issue order.
    std::vector<std::string> Take();

    setup::Handle OpenDevice(const std::u16string& path,
                             const setup::DeviceOpenMode& mode) override {
        return m_inner.OpenDevice(path, mode);
    }
    int CloseHandle(setup::Handle handle) override { return m_inner.CloseHandle(handle); }
    int DeviceIoControl(setup::Handle device, uint32_t code, const void* inBuffer, uint32_t inSize,
                        void* outBuffer, uint32_t outSize, uint32_t* pCount,
                        setup::Overlapped& ov) override;
    int WriteFile(setup::Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                  setup::Overlapped& ov) override;
    int ReadFile(setup::Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                 setup::Overlapped& ov) override;
    int CancelIo(setup::Handle device) override { return m_inner.CancelIo(device); }
    int GetOverlappedResult(setup::Handle device, setup::Overlapped& ov, uint32_t* pCount,
                            int bWait) override;
    setup::Handle CreateAutoResetEvent() override { return m_inner.CreateAutoResetEvent(); }
    int ResetEvent(setup::Handle event) override { return m_inner.ResetEvent(event); }
    uint32_t WaitForMultipleObjects(uint32_t count, const setup::Handle* handles, int bWaitAll,
                                    uint32_t timeoutMs) override {
        return m_inner.WaitForMultipleObjects(count, handles, bWaitAll, timeoutMs);
    }

  private:
    int Started(int result, const std::string& what, setup::Overlapped& ov, uint32_t count);
    void Ended(size_t entry, int result, uint32_t count);

    setup::DeviceIo& m_inner;
    std::vector<std::string> m_entries;
    std::map<const setup::Overlapped*, size_t> m_pending;  // operation -> its entry
};

}  // namespace tav::pipetest
