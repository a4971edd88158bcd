#include "tavsetup/pages/driver_type_page.h"

#include "printer/settings/setting_operations.h"
#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

DriverTypePage::DriverTypePage(PageView& view, PagePrinter printer, DriverTypeServices& services)
    : PageLogic(view, VComPageLayout(), printer), m_services(services) {}

void DriverTypePage::OnInitDialog() {
    SetPageStartTexts(m_view, m_layout);
    EnableRefreshAndRadios();
    UpdateApplyState();
}

void DriverTypePage::UpdateApplyState() {
    // Apply only when the choice differs from the current type.
    bool enable = false;
    if (IsChecked(IDC_VCOM_PRINTER_DRIVER))
        enable = InSerialMode();
    else if (IsChecked(IDC_VCOM_SERIAL_DRIVER))
        enable = Link().bSerialMode == 0;
    m_view.Enable(IDC_VCOM_APPLY, enable);
}

int DriverTypePage::OnPrinterStatus(uint32_t status) {
    DisableInputs();
    m_services.RefreshPnpDevices();
    const bool anySelected = AnyRadioChecked();
    ShowLabel(IDS_RECEIVING);
    if (const uint32_t message = PageMessageForStatus(status, HasDevicePath())) {
        ShowMessage(message);
        if (!anySelected)
            Select(IDC_VCOM_PRINTER_DRIVER);
        return 1;
    }
    ShowLabel(IDS_DRIVER_TYPE_LABEL);
    if (!anySelected)
        Select(InSerialMode() ? IDC_VCOM_SERIAL_DRIVER : IDC_VCOM_PRINTER_DRIVER);
    ShowWideValue(InSerialMode() ? IDS_VCOM_DRIVER : IDS_PRINTER_DRIVER);
    EnableRefreshAndRadios();
    UpdateApplyState();
    return 1;
}

void DriverTypePage::OnApplyClicked() {
    if (IsChecked(IDC_VCOM_SERIAL_DRIVER) && !m_services.IsPortDriverAvailable()) {
        m_view.ShowMessageBox(m_view.LoadText(IDS_NEED_VCOM_DRIVER), m_view.LoadText(IDS_APP_TITLE),
                              kMissingDriverBoxStyle);
        return;  // nothing sent; the page keeps its state
    }
    PageLogic::OnApplyClicked();
}

int DriverTypePage::ApplySetting() {
    DisableInputs();
    // A failed switch block read writes nothing and leaves the main window untold.
    if (!WriteDriverTypeSwitch(Channel(), Link().bSerialMode,
                               [this] { m_view.SendToMain(WM_BEGIN_WATCH, 0, 0); }))
        return 0;
    ShowLabel(IDS_SWITCHING_DRIVER);
    return 1;
}

}  // namespace tav::setup
