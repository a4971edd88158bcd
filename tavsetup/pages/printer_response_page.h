#pragma once
// The printer response page's logic (CBidiDlg, template 131): shows whether the printer
// sends data back ("Receive" / "Not receive"), read from its settings block, and switches
// that one bit of the response switch byte.

#include <cstdint>

#include "tavsetup/pages/page_common.h"

namespace tav::setup {

class PrinterResponsePage : public PageLogic {
  public:
    PrinterResponsePage(PageView& view, PagePrinter printer);

    void OnInitDialog() override;
    [[nodiscard]] int OnPrinterStatus(uint32_t status) override;
    [[nodiscard]] int ApplySetting() override;
    void UpdateApplyState() override;

    uint8_t m_bySwitch = 0;  // response switch byte as last read
    int m_bNotReceive = 1;   // 1: the receive bit was clear at the last read

  private:
    // The settings block read; 0 or the message string when it failed.
    uint32_t ReadResponseSwitch();
    [[nodiscard]] int ShowMessagePath(uint32_t id, bool anySelected);
};

}  // namespace tav::setup
