// Opening the printer for one transaction, with the fallback for a printer in virtual-serial
// mode that the print services hold open.

#include "printer/link/device_io.h"
#include "printer/link/printer_link.h"
#include "printer/link/service_manager.h"
#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::setup {
namespace {

constexpr uint32_t kRetryPauseMs = 100;
constexpr uint32_t kRetryWindowMs = 2000;

// Read and write for the transaction, reading shared with others, overlapped so that every
// operation can be timed out and cancelled.
constexpr DeviceOpenMode kTransactionOpen{kGenericRead | kGenericWrite, kFileShareRead,
                                          kFileFlagOverlapped};

void CloseDevice(DeviceIo& io, PrinterLink& link) {
    if (link.hDevice == win::kNoHandle)
        return;
    io.CloseHandle(link.hDevice);
    link.hDevice = win::kNoHandle;
}

bool HeldByAnotherParty(uint32_t error) {
    return error == win::kErrorInvalidFunction || error == win::kErrorAccessDenied;
}

// Stops the print services (the LPD service first: it depends on the Spooler) and retries
// the open for up to 2 s. The open's error is kept for the caller when it stays refused.
int OpenAfterStoppingPrintServices(PrinterPlatform& sys, PrinterLink& link, uint32_t openError) {
    if (ChangeServiceState(sys, 0, kLpdServiceName))
        link.bLpdStopped = 1;
    if (!ChangeServiceState(sys, 0, kSpoolerServiceName)) {
        SetLastErrorCode(openError);
        return 0;
    }
    const uint32_t note = sys.clock.TickCount();
    for (;;) {
        sys.clock.Sleep(kRetryPauseMs);
        if (ElapsedMs(note, sys.clock.TickCount()) > kRetryWindowMs) {
            // Given back to the system either way; the open has failed already.
            static_cast<void>(StartPrintSpooler(sys));
            link.hDevice = win::kNoHandle;
            SetLastErrorCode(openError);
            return 0;
        }
        link.hDevice = sys.io.OpenDevice(*link.pszDevicePath, kTransactionOpen);
        if (link.hDevice != win::kNoHandle)
            return 1;
        openError = GetLastErrorCode();
    }
}

}  // namespace

int OpenPrinterDevice(PrinterPlatform& sys, PrinterLink& link) {
    if (!link.pszDevicePath) {
        const int found = DiscoverPrinter(sys, link);
        if (found == 0 || !link.pszDevicePath) {
            CloseDevice(sys.io, link);
            SetLastErrorCode(win::kErrorDeviceNotConnected);
            return 0;
        }
    }
    if (link.hDevice != win::kNoHandle)
        return 1;
    link.hDevice = sys.io.OpenDevice(*link.pszDevicePath, kTransactionOpen);
    if (link.hDevice != win::kNoHandle)
        return 1;
    const uint32_t error = GetLastErrorCode();
    if (link.bSerialMode != 1 || !HeldByAnotherParty(error))
        return 0;
    return OpenAfterStoppingPrintServices(sys, link, error);
}

}  // namespace tav::setup
