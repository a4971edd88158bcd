#include "tavsetup/shell/link_adapters.h"

#include "tavsetup/printer_link/device_io.h"
#include "tavsetup/shell/printer_link_instance.h"

namespace tav {

int LinkDetector::Discover() {
    return DiscoverPrinter(m_sys, *g_pPrinterLink);
}

bool LinkDetector::HasDevicePath() {
    return g_pPrinterLink->pszDevicePath.has_value();
}

bool LinkDetector::CheckId() {
    return CheckPrinterId(m_sys, *g_pPrinterLink) != 0;
}

void LinkExitServices::StartPrintSpooler() {
    tav::StartPrintSpooler(m_sys);
}

int LinkExitServices::ChangeServiceState(int bStart, const char16_t* serviceName) {
    return tav::ChangeServiceState(m_sys, bStart, serviceName);
}

void LinkExitServices::RestartLpdService(int32_t bLpdStopped) {
    // The link itself is gone by now; only its note of the stopped service matters.
    PrinterLink noted;
    noted.bLpdStopped = bLpdStopped;
    RestartLpdServiceIfStopped(m_sys, noted);
}

void LinkExitServices::CloseDevice(Handle device) {
    m_sys.io.CloseHandle(device);
}

}  // namespace tav
