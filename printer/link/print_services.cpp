// Bringing the print services back: the Spooler until it answers, and the LPD print service
// when this run stopped it.

#include "printer/link/print_spooler.h"
#include "printer/link/printer_link.h"
#include "printer/link/service_manager.h"
#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::setup {
namespace {

constexpr uint32_t kSpoolerAnswerWindowMs = 5000;
constexpr uint32_t kSpoolerPollPauseMs = 300;

// The spooler answers once its remote interface is up: any outcome but 1722. A success is
// an answer too, whatever the last error still holds from before.
bool SpoolerAnswers(PrintSpooler& spooler) {
    uint32_t needed = 0;
    uint32_t returned = 0;
    const int ok =
        spooler.EnumPrinterList(win::kPrinterEnumLocal, nullptr, 2, nullptr, 0, &needed, &returned);
    return ok || GetLastErrorCode() != win::kRpcSServerUnavailable;
}

}  // namespace

int StartPrintSpooler(PrinterPlatform& sys) {
    int result = ChangeServiceState(sys, 1, kSpoolerServiceName);
    const uint32_t note = sys.clock.TickCount();
    for (;;) {
        if (SpoolerAnswers(sys.spooler)) {
            result = 1;
            break;
        }
        if (ElapsedMs(note, sys.clock.TickCount()) > kSpoolerAnswerWindowMs)
            break;
        // Asked again each round; whether the Spooler answers is what decides.
        static_cast<void>(ChangeServiceState(sys, 1, kSpoolerServiceName));
        sys.clock.Sleep(kSpoolerPollPauseMs);
    }
    uint32_t needed = 0;
    sys.spooler.GetDriverDirectory(nullptr, nullptr, 1, nullptr, 0, &needed);
    return result;
}

int RestartLpdServiceIfStopped(PrinterPlatform& sys, int32_t& bLpdStopped) {
    if (!bLpdStopped)
        return 0;
    const int started = ChangeServiceState(sys, 1, kLpdServiceName);
    if (started)
        bLpdStopped = 0;
    return started;
}

}  // namespace tav::setup
