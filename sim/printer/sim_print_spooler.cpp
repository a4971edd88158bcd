#include "sim/printer/sim_print_spooler.h"

#include "shared/last_error.h"
#include "shared/win/errors.h"

namespace tav::sim {
namespace {

constexpr uint32_t kPrinterListBytes = 512;
constexpr uint32_t kDriverDirectoryBytes = 96;

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

}  // namespace

SimPrintSpooler::SimPrintSpooler(SimTrace& trace, SimServiceManager& services)
    : m_trace(trace), m_services(services) {}

bool SimPrintSpooler::Answers() const {
    const auto running = m_services.RunningForMs(kSpoolerServiceName);
    return running && *running >= m_rpcDelayMs;
}

// With no buffer a running spooler asks for a bigger one, as Windows does with printers set up.
int SimPrintSpooler::EnumPrinterList(uint32_t, const char16_t*, uint32_t, uint8_t*, uint32_t size,
                                     uint32_t* pNeeded, uint32_t* pReturned) {
    if (auto error = m_trace.Enter("EnumPrintersW"))
        return Fail(*error);
    if (!Answers())
        return Fail(win::kRpcSServerUnavailable);
    if (pReturned)
        *pReturned = 0;
    if (pNeeded)
        *pNeeded = kPrinterListBytes;
    return size >= kPrinterListBytes ? 1 : Fail(win::kErrorInsufficientBuffer);
}

int SimPrintSpooler::GetDriverDirectory(const char16_t*, const char16_t*, uint32_t, uint8_t*,
                                        uint32_t size, uint32_t* pNeeded) {
    if (auto error = m_trace.Enter("GetPrinterDriverDirectoryW"))
        return Fail(*error);
    if (!Answers())
        return Fail(win::kRpcSServerUnavailable);
    if (pNeeded)
        *pNeeded = kDriverDirectoryBytes;
    return size >= kDriverDirectoryBytes ? 1 : Fail(win::kErrorInsufficientBuffer);
}

}  // namespace tav::sim
