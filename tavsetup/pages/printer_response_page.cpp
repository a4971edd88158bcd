#include "tavsetup/pages/printer_response_page.h"

#include "printer/settings/setting_operations.h"
#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

PrinterResponsePage::PrinterResponsePage(PageView& view, PagePrinter printer)
    : PageLogic(view, BidiPageLayout(), printer) {}

void PrinterResponsePage::OnInitDialog() {
    m_bNotReceive = 1;
    m_bySwitch = 0;
    SetPageStartTexts(m_view, m_layout);
    EnableRefreshAndRadios();
    UpdateApplyState();
}

void PrinterResponsePage::UpdateApplyState() {
    // Apply only when the choice differs from the printer's current setting.
    bool enable = false;
    if (IsChecked(IDC_BIDI_NOT_RECEIVE))
        enable = m_bNotReceive == 0;
    else if (IsChecked(IDC_BIDI_RECEIVE))
        enable = m_bNotReceive == 1;
    m_view.Enable(IDC_BIDI_APPLY, enable);
}

int PrinterResponsePage::OnPrinterStatus(uint32_t status) {
    const bool anySelected = AnyRadioChecked();
    DisableInputs();
    if (const uint32_t message = PageMessageForStatus(status, HasDevicePath()))
        return ShowMessagePath(message, anySelected);
    ShowLabel(IDS_RECEIVING);
    if (const uint32_t message = ReadResponseSwitch())
        return ShowMessagePath(message, anySelected);

    const uint32_t valueText = m_bNotReceive == 1 ? IDS_NOT_RECEIVE : IDS_RECEIVE;
    if (!anySelected)
        Select(m_bNotReceive == 1 ? IDC_BIDI_NOT_RECEIVE : IDC_BIDI_RECEIVE);
    ShowLabel(IDS_RESPONSE_LABEL);
    ShowWideValue(valueText);
    EnableRefreshAndRadios();
    UpdateApplyState();
    return 1;
}

uint32_t PrinterResponsePage::ReadResponseSwitch() {
    ResponseSetting setting;
    switch (ReadResponseSetting(Channel(), &setting)) {
        case SettingRead::kNoReply:
            return IDS_INFO_NOT_RECEIVED;
        case SettingRead::kInvalidReply:
            return IDS_INVALID_DATA;
        case SettingRead::kRead:
            break;
    }
    m_bySwitch = setting.switchByte;
    m_bNotReceive = setting.receive ? 0 : 1;
    return 0;
}

int PrinterResponsePage::ShowMessagePath(uint32_t id, bool anySelected) {
    ShowMessage(id);
    if (!anySelected)
        Select(IDC_BIDI_RECEIVE);
    m_bySwitch = 0;
    return 0;
}

int PrinterResponsePage::ApplySetting() {
    DisableInputs();
    bool receive = false;
    if (IsChecked(IDC_BIDI_NOT_RECEIVE))
        receive = false;
    else if (IsChecked(IDC_BIDI_RECEIVE))
        receive = true;
    else
        return 0;
    m_bySwitch = WithPrinterResponse(m_bySwitch, receive);
    if (!WriteResponseSetting(Channel(), m_bySwitch, receive,
                              [this] { m_view.SendToMain(WM_BEGIN_WATCH, 0, 0); }))
        return 0;
    ShowLabel(IDS_SWITCHING_RESPONSE);
    return 1;
}

}  // namespace tav::setup
