#pragma once
// The transport's side of a simulated printer: opens a present interface path of the device
// tree and hands each overlapped operation to the firmware attached to the owning device.
// Operations complete at once or after a virtual delay, or stay pending until cancelled.
// Waits advance the virtual clock: a wait of T on an operation due at D <= T returns
// signalled at D, otherwise time-out at T.
// Handles keep the access, share mode and flags they were opened with: reads, writes and
// control codes need their access (5), a second open that the share modes exclude fails
// with 32, and a handle opened without FILE_FLAG_OVERLAPPED does its I/O synchronously.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "printer/link/device_io.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/printer_firmware.h"
#include "sim/virtual_clock.h"

namespace tav::sim {

class SimDeviceIo : public setup::DeviceIo {
  public:
    SimDeviceIo(VirtualClock& clock, SimTrace& trace, DeviceTree& tree);

    // Operations on handles opened on this device's interfaces go to `firmware`.
    void AttachFirmware(const std::u16string& deviceId, std::shared_ptr<PrinterFirmware> firmware);
    // While set and `holderActive()` says so (the Spooler runs), opens fail with `error`.
    void SetSpoolerHoldsDevice(bool held, uint32_t error = 5);
    void SetHolderActive(std::function<bool()> holderActive);
    // Time from CancelIo to the end of a cancelled operation (0: at once).
    void SetCancelLatency(uint32_t ms) { m_cancelLatencyMs = ms; }
    // Another party keeps `path` open with this access and share mode until ReleaseHolds.
    void HoldOpen(const std::u16string& path, uint32_t access, uint32_t shareMode);
    void ReleaseHolds() { m_otherHolders.clear(); }

    size_t OpenDeviceHandles() const;
    size_t OpenEvents() const;
    size_t PendingOperations() const;
    // Operations still going when their device handle was closed (their buffers abandoned).
    size_t AbandonedOperations() const { return m_abandoned; }
    // Calls of GetOverlappedResult(wait) on an operation that never ends (a hang on Windows).
    size_t ForeverWaits() const { return m_foreverWaits; }

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
    struct Operation {
        setup::Handle device = win::kNoHandle;
        setup::Handle event = win::kNoHandle;
        std::vector<uint8_t> data;  // bytes to deliver into `out`
        void* out = nullptr;
        uint32_t bytes = 0;  // count reported on completion
        uint32_t error = 0;
        bool done = false;
        bool never = false;
        uint64_t dueElapsed = 0;
        uint64_t scheduleId = 0;
    };

    struct OpenDeviceHandle {
        std::u16string path;
        std::u16string deviceId;
        setup::DeviceOpenMode mode;
    };

    PrinterFirmware* FirmwareOf(setup::Handle device, uint32_t neededAccess, uint32_t* pError);
    bool SharingAllows(const std::u16string& path, const setup::DeviceOpenMode& mode) const;
    int CompleteSynchronously(uint64_t id, uint32_t* pCount);
    int Start(setup::Handle device, const FirmwareReply& reply, void* out, uint32_t outSize,
              uint32_t bytes, uint32_t* pCount, setup::Overlapped& ov);
    void Finish(uint64_t id, uint32_t error);
    void Signal(setup::Handle event);
    int TakeSignalled(uint32_t count, const setup::Handle* handles);
    bool EarliestDue(uint32_t count, const setup::Handle* handles, uint64_t* pDue) const;
    bool FindInterface(const std::u16string& path, SimInterface* pFound) const;
    Operation* OperationOf(const setup::Overlapped& ov, uint64_t* pId);

    VirtualClock& m_clock;
    SimTrace& m_trace;
    DeviceTree& m_tree;
    std::map<std::u16string, std::shared_ptr<PrinterFirmware>> m_firmware;
    std::map<setup::Handle, OpenDeviceHandle> m_devices;
    std::vector<OpenDeviceHandle> m_otherHolders;
    std::map<setup::Handle, bool> m_events;  // event -> signalled
    std::map<uint64_t, Operation> m_operations;
    uint64_t m_nextOperation = 1;
    setup::Handle m_nextHandle = 0x100;
    bool m_spoolerHolds = false;
    uint32_t m_holdError = 5;
    std::function<bool()> m_holderActive;
    uint32_t m_cancelLatencyMs = 0;
    size_t m_abandoned = 0;
    size_t m_foreverWaits = 0;
};

}  // namespace tav::sim
