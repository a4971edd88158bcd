#include "sim/printer/sim_print_spooler.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::setup;
namespace {

constexpr uint32_t kPrinterListBytes = 512;
constexpr uint32_t kDriverDirectoryBytes = 96;

int Fail(uint32_t error) {
    SetLastErrorCode(error);
    return 0;
}

// PRINTER_ENUM_LOCAL, _NAME, _SHARED, _CONNECTIONS, _NETWORK, _REMOTE, _DEFAULT: the sources a
// list can come from. Windows takes further bits (containers, icons, categories) that no
// caller here passes; they are refused with 87 to show up in a test.
constexpr uint32_t kPrinterEnumSources = 0x7F;

// EnumPrintersW's levels: PRINTER_INFO_1, _2, _4 and _5. The client refuses any other before
// it asks the spooler, so the answer comes even while the spooler is down.
bool IsPrinterInfoLevel(uint32_t level) {
    return level == 1 || level == 2 || level == 4 || level == 5;
}

// GetPrinterDriverDirectoryW's environments; no environment is the caller's own.
bool IsKnownEnvironment(const char16_t* environment) {
    if (!environment)
        return true;
    const std::u16string name(environment);
    return name == u"Windows NT x86" || name == u"Windows x64" || name == u"Windows IA64" ||
           name == u"Windows ARM64" || name == u"Windows 4.0";
}

}  // namespace

SimPrintSpooler::SimPrintSpooler(SimTrace& trace, SimServiceManager& services)
    : m_trace(trace), m_services(services) {}

uint32_t SimPrintSpooler::RefusedDriverDirectory(uint32_t error) {
    m_driverDirectoryRefusals.push_back(error);
    return error;
}

bool SimPrintSpooler::Answers() const {
    const auto running = m_services.RunningForMs(kSpoolerServiceName);
    return running && *running >= m_rpcDelayMs;
}

// With no buffer a running spooler asks for a bigger one, as Windows does with printers set up.
int SimPrintSpooler::EnumPrinterList(uint32_t flags, const char16_t*, uint32_t level, uint8_t*,
                                     uint32_t size, uint32_t* pNeeded, uint32_t* pReturned) {
    if (auto error = m_trace.Enter(
            "EnumPrintersW", "flags=" + std::to_string(flags) + " level=" + std::to_string(level)))
        return Fail(*error);
    if (!IsPrinterInfoLevel(level))
        return Fail(sdk::kErrorInvalidLevel);
    if (flags == 0 || (flags & ~kPrinterEnumSources))
        return Fail(win::kErrorInvalidParameter);
    if (!Answers())
        return Fail(win::kRpcSServerUnavailable);
    if (pReturned)
        *pReturned = 0;
    if (pNeeded)
        *pNeeded = kPrinterListBytes;
    return size >= kPrinterListBytes ? 1 : Fail(win::kErrorInsufficientBuffer);
}

int SimPrintSpooler::GetDriverDirectory(const char16_t*, const char16_t* environment,
                                        uint32_t level, uint8_t*, uint32_t size,
                                        uint32_t* pNeeded) {
    if (auto error = m_trace.Enter(
            "GetPrinterDriverDirectoryW",
            "level=" + std::to_string(level) + (environment ? " env=" + ToUtf8(environment) : "")))
        return Fail(*error);
    if (level != 1)  // DRIVER_DIRECTORY_1 is the only level
        return Fail(RefusedDriverDirectory(sdk::kErrorInvalidLevel));
    if (!Answers())
        return Fail(win::kRpcSServerUnavailable);
    if (!IsKnownEnvironment(environment))  // the spooler itself knows the environments
        return Fail(RefusedDriverDirectory(sdk::kErrorInvalidEnvironment));
    if (pNeeded)
        *pNeeded = kDriverDirectoryBytes;
    ++m_driverDirectoryAnswers;
    return size >= kDriverDirectoryBytes ? 1 : Fail(win::kErrorInsufficientBuffer);
}

}  // namespace tav::sim
