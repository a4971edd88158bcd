#include "tavsetup/shell/link_adapters.h"

#include "printer/link/device_io.h"
#include "tavsetup/shell/printer_link_instance.h"

namespace tav::setup {

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
    // The exit sequence goes on whether or not the Spooler answers.
    static_cast<void>(tav::setup::StartPrintSpooler(m_sys));
}

int LinkExitServices::ChangeServiceState(int bStart, const char16_t* serviceName) {
    return tav::setup::ChangeServiceState(m_sys, bStart, serviceName);
}

void LinkExitServices::RestartLpdService(int32_t bLpdStopped) {
    // The link itself is gone by now: its note was kept for this last step, and whether the
    // service started changes nothing at exit.
    static_cast<void>(RestartLpdServiceIfStopped(m_sys, bLpdStopped));
}

void LinkExitServices::CloseDevice(Handle device) {
    m_sys.io.CloseHandle(device);
}

}  // namespace tav::setup
