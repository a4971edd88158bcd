// One transaction: open, one overlapped operation (or a write then a read) under a budget,
// close. Every attempt ends only after its operation has ended, so the OVERLAPPED block and
// the buffers it names are never left to a pending operation.

#include <algorithm>

#include "printer/link/device_io.h"
#include "printer/link/owned_handles.h"
#include "printer/link/printer_link.h"
#include "shared/last_error.h"
#include "shared/last_error_guard.h"
#include "shared/win/errors.h"

namespace tav::setup {
namespace {

constexpr uint32_t kMaxRequestBytes = 0xFFFF;
constexpr uint32_t kPauseBeforeReadMs = 10;

struct Transaction {
    uint32_t ioctlCode;
    const void* inBuffer;
    uint32_t inSize;
    void* outBuffer;
    uint32_t outSize;
    uint32_t budgetMs;
    bool writeIssued = false;
};

struct AttemptResult {
    int ok = 0;
    uint32_t count = 0;
};

// The device lives in the record for one transaction; at its end it is closed and
// forgotten, keeping the attempt's last error for the caller.
void CloseTransactionDevice(DeviceIo& io, PrinterLink* link) {
    if (link->hDevice == win::kNoHandle)
        return;
    LastErrorGuard keep;
    static_cast<void>(io.CloseHandle(link->hDevice));  // the attempt's outcome stands
    link->hDevice = win::kNoHandle;
}
using TransactionDevice = UniqueHandle<PrinterLink*, nullptr, DeviceIo, &CloseTransactionDevice>;

// The kind of operation is chosen afresh for each attempt.
int IssueOperation(DeviceIo& io, Handle device, Transaction& t, Overlapped& ov, uint32_t* pCount) {
    if (t.ioctlCode != 0) {
        return io.DeviceIoControl(device, t.ioctlCode, t.inBuffer, t.inSize, t.outBuffer, t.outSize,
                                  pCount, ov);
    }
    if (t.inBuffer && t.inSize != 0) {
        t.writeIssued = true;
        return io.WriteFile(device, t.inBuffer, t.inSize, pCount, ov);
    }
    if (t.outBuffer && t.outSize != 0)
        return io.ReadFile(device, t.outBuffer, t.outSize, pCount, ov);
    SetLastErrorCode(win::kErrorInvalidParameter);
    return 0;
}

// Cancels an operation that may still be going and waits until it has ended.
void CancelAndWaitForEnd(DeviceIo& io, Handle device, Overlapped& ov) {
    LastErrorGuard keep;
    // Only the end matters here: the attempt has already failed.
    static_cast<void>(io.CancelIo(device));
    uint32_t ignored = 0;
    static_cast<void>(io.GetOverlappedResult(device, ov, &ignored, 1));
}

// The deadline passed: cancel, then take whatever result the operation ended with.
AttemptResult CollectAfterDeadline(DeviceIo& io, Handle device, Overlapped& ov, uint32_t outSize) {
    AttemptResult r;
    io.CancelIo(device);
    r.ok = io.GetOverlappedResult(device, ov, &r.count, 0);
    if (r.ok)
        return r;
    const uint32_t error = GetLastErrorCode();
    if (error == win::kErrorOperationAborted) {
        r.ok = outSize == 0;  // nothing to answer: cancelled at the deadline counts as done
    } else if (error == win::kErrorIoIncomplete) {
        r.ok = io.GetOverlappedResult(device, ov, &r.count, 1);
    }
    return r;
}

AttemptResult AwaitPending(DeviceIo& io, Handle device, Overlapped& ov, uint32_t budgetMs,
                           uint32_t outSize) {
    const Handle event = ov.hEvent;
    const uint32_t wait = io.WaitForMultipleObjects(1, &event, 0, budgetMs);
    if (wait == win::kWaitTimeout)
        return CollectAfterDeadline(io, device, ov, outSize);
    AttemptResult r;
    if (wait == win::kWaitObject0) {
        r.ok = io.GetOverlappedResult(device, ov, &r.count, 0);
        if (r.ok || GetLastErrorCode() != win::kErrorIoIncomplete)
            return r;
    }
    // A failed wait, or a signal before the end: the operation may still be going.
    CancelAndWaitForEnd(io, device, ov);
    return AttemptResult{};
}

AttemptResult RunAttempt(DeviceIo& io, Handle device, Transaction& t) {
    Overlapped ov;
    UniqueEvent event(io, io.CreateAutoResetEvent());
    if (event.get() == win::kNoHandle)
        return AttemptResult{};
    ov.hEvent = event.get();
    t.inSize = std::min(t.inSize, kMaxRequestBytes);
    io.ResetEvent(ov.hEvent);
    AttemptResult r;
    r.ok = IssueOperation(io, device, t, ov, &r.count);
    if (!r.ok && GetLastErrorCode() == win::kErrorIoPending)
        r = AwaitPending(io, device, ov, t.budgetMs, t.outSize);
    if (!r.ok)
        r.count = 0;
    return r;
}

bool WriteTakenInFull(const Transaction& t, const AttemptResult& r) {
    return t.writeIssued && t.inBuffer && t.inSize != 0 && r.count == t.inSize && t.outBuffer &&
           t.outSize != 0;
}

}  // namespace

int PrinterTransact(PrinterPlatform& sys, PrinterLink& link, uint32_t ioctlCode,
                    const void* inBuffer, uint32_t inSize, void* outBuffer, uint32_t outSize,
                    uint32_t* pCount, uint32_t budgetMs) {
    const uint32_t start = sys.clock.TickCount();
    if (!OpenPrinterDevice(sys, link))
        return 0;
    const TransactionDevice device(sys.io, &link);
    Transaction t{ioctlCode, inBuffer, inSize, outBuffer, outSize, budgetMs};
    for (;;) {
        const AttemptResult r = RunAttempt(sys.io, link.hDevice, t);
        if (!pCount)
            return r.ok;
        const uint32_t elapsed = ElapsedMs(start, sys.clock.TickCount());
        if (!r.ok) {
            *pCount = 0;
        } else if (r.count == 0 && elapsed < t.budgetMs) {
            t.budgetMs -= elapsed;  // nothing yet: ask again with what is left
            continue;
        } else {
            *pCount = r.count;
        }
        if (!WriteTakenInFull(t, r))
            return r.ok;
        *pCount = 0;
        if (elapsed >= t.budgetMs)
            return 0;
        t.budgetMs -= elapsed;
        t.inSize = 0;  // the next attempt reads the answer
        sys.clock.Sleep(kPauseBeforeReadMs);
    }
}

}  // namespace tav::setup
