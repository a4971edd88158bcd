// A console probe of the printer link on a real system: runs the discovery and, for one
// printer, the identification, and prints what it found.

#include <cstdio>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "tavsetup/printer_link/printer_link.h"
#include "tavsetup/printer_link/win32/win32_printer_platform.h"

int wmain() {
    tav::Win32PrinterPlatform real;
    tav::PrinterLink link;
    const int count = tav::DiscoverPrinter(real.platform, link);
    std::printf("printers: %d (last error %u)\n", count,
                static_cast<unsigned>(tav::GetLastErrorCode()));
    std::printf("mode: %s\n", link.bSerialMode ? "virtual serial" : "printer driver");
    std::printf("path: %s\n", link.pszDevicePath ? tav::ToUtf8(*link.pszDevicePath).c_str() : "");
    if (count == 1 && link.pszDevicePath) {
        const int accepted = tav::CheckPrinterId(real.platform, link);
        std::printf("device id: %s, MFG %s, MDL %s\n", accepted ? "accepted" : "rejected",
                    link.pszMfg, link.pszMdl);
    }
    return count < 0 ? 1 : 0;
}
