// A console probe of the printer link on a real system.
//   printer_link_probe            the discovery and, for one printer, the identification
//   printer_link_probe spooler    the spooler start-up wait, then a stop and a start of the
//                                 Spooler through the service state change

#include <cstdio>
#include <cwchar>

#include "printer/link/printer_link.h"
#include "printer/link/service_manager.h"
#include "printer/link/win32/win32_printer_platform.h"
#include "shared/last_error.h"
#include "shared/u16.h"

namespace {

int ProbeDiscovery(tav::setup::PrinterPlatform& sys) {
    tav::setup::PrinterLink link;
    const int count = tav::setup::DiscoverPrinter(sys, link);
    std::printf("printers: %d\n", count);
    std::printf("mode: %s\n", link.bSerialMode ? "virtual serial" : "printer driver");
    std::printf("path: %s\n", link.pszDevicePath ? tav::ToUtf8(*link.pszDevicePath).c_str() : "");
    if (count == 1 && link.pszDevicePath) {
        const int accepted = tav::setup::CheckPrinterId(sys, link);
        std::printf("device id: %s, MFG %s, MDL %s\n", accepted ? "accepted" : "rejected",
                    link.pszMfg, link.pszMdl);
    }
    return count < 0 ? 1 : 0;
}

int ProbeSpooler(tav::setup::PrinterPlatform& sys) {
    std::printf("StartPrintSpooler: %d\n", tav::setup::StartPrintSpooler(sys));
    std::printf("stop Spooler: %d\n",
                tav::setup::ChangeServiceState(sys, 0, tav::setup::kSpoolerServiceName));
    std::printf("stop Spooler again: %d\n",
                tav::setup::ChangeServiceState(sys, 0, tav::setup::kSpoolerServiceName));
    std::printf("start Spooler: %d\n",
                tav::setup::ChangeServiceState(sys, 1, tav::setup::kSpoolerServiceName));
    std::printf("unknown service: %d (last error %u)\n",
                tav::setup::ChangeServiceState(sys, 1, u"NoSuchServiceHere"),
                static_cast<unsigned>(tav::GetLastErrorCode()));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    tav::setup::Win32PrinterPlatform real;
    if (argc > 1 && std::wcscmp(argv[1], L"spooler") == 0)
        return ProbeSpooler(real.platform);
    return ProbeDiscovery(real.platform);
}
