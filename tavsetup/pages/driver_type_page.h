#pragma once
// The driver type page's logic (CVComDlg, template 130): shows the type the printer was
// last found in ("Printer Driver" through the USB printing class, "Virtual Serial Port
// Driver" through a serial-port interface) and switches the printer to the other type.
// Its state is bSerialMode of the PrinterLink; nothing is read from the printer on refresh.

#include <cstdint>

#include "tavsetup/pages/driver_type_services.h"
#include "tavsetup/pages/page_common.h"

namespace tav::setup {

// The message box of a switch to the virtual serial type without its driver.
inline constexpr uint32_t kMissingDriverBoxStyle =
    win::kMbOk | win::kMbIconExclamation | win::kMbTopmost;

class DriverTypePage : public PageLogic {
  public:
    DriverTypePage(PageView& view, PagePrinter printer, DriverTypeServices& services);

    void OnInitDialog() override;
    [[nodiscard]] int OnPrinterStatus(uint32_t status) override;
    [[nodiscard]] int ApplySetting() override;
    void UpdateApplyState() override;
    // Replaces the shared Apply handling: no switch to the virtual serial type without
    // its driver.
    void OnApplyClicked() override;

  private:
    bool InSerialMode() const { return Link().bSerialMode == 1; }

    DriverTypeServices& m_services;
};

}  // namespace tav::setup
