#pragma once
// The main window's detector and the exit sequence's service work over the printer link's
// operations on a platform (the Win32 adapters in tavsetup.exe, the simulated world in
// tests).

#include "printer/link/printer_link.h"
#include "tavsetup/shell/detection_cycle.h"
#include "tavsetup/shell/startup_platform.h"

namespace tav::setup {

// Discovery and identification on the process's one PrinterLink.
class LinkDetector : public PrinterDetector {
  public:
    explicit LinkDetector(PrinterPlatform& sys) : m_sys(sys) {}
    [[nodiscard]] int Discover() override;
    bool HasDevicePath() override;
    [[nodiscard]] bool CheckId() override;

  private:
    PrinterPlatform& m_sys;
};

class LinkExitServices : public ExitServices {
  public:
    explicit LinkExitServices(PrinterPlatform& sys) : m_sys(sys) {}
    void StartPrintSpooler() override;
    [[nodiscard]] int ChangeServiceState(int bStart, const char16_t* serviceName) override;
    void RestartLpdService(int32_t bLpdStopped) override;
    void CloseDevice(Handle device) override;

  private:
    PrinterPlatform& m_sys;
};

}  // namespace tav::setup
