#include "tavsetup/pages/serial_number_page.h"

#include <cstdio>
#include <cstring>

#include "printer/settings/setting_operations.h"
#include "printer/settings/settings_protocol.h"
#include "tavsetup/pages/ansi_text.h"
#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

namespace {

bool IsEmptyText(const char* text) {
    return text == nullptr || text[0] == '\0';
}

template <size_t N>
void CopyText(char (&field)[N], const char* text) {
    std::snprintf(field, N, "%s", text);
}

}  // namespace

SerialNumberPage::SerialNumberPage(PageView& view, PagePrinter printer)
    : PageLogic(view, SerIdPageLayout(), printer) {}

void SerialNumberPage::OnInitDialog() {
    // At most ten characters and no input method: composed text cannot reach the printer.
    m_view.LimitText(IDC_SERID_EDIT, kManualSerialMaxChars);
    m_view.DetachInputMethod(IDC_SERID_EDIT);
    SetPageStartTexts(m_view, m_layout);
    m_bAutoAllowed = 1;
    m_view.Enable(IDC_SERID_REFRESH, true);
    m_view.Enable(IDC_SERID_AUTO, m_bAutoAllowed == 1);
    m_view.Enable(IDC_SERID_MANUAL, true);
    m_view.Enable(IDC_SERID_UNDEFINED, true);
    m_view.Enable(IDC_SERID_EDIT, true);
    m_view.Enable(IDC_SERID_APPLY, true);
    UpdateApplyState();
}

void SerialNumberPage::UpdateApplyState() {
    if (IsChecked(IDC_SERID_AUTO) || IsChecked(IDC_SERID_UNDEFINED)) {
        m_view.Show(IDC_SERID_EDIT, false);
        m_view.Enable(IDC_SERID_APPLY, true);
    } else if (IsChecked(IDC_SERID_MANUAL)) {
        m_view.Show(IDC_SERID_EDIT, true);
        m_view.Enable(IDC_SERID_APPLY, m_view.TextLength(IDC_SERID_EDIT) > 0);
    } else {
        m_view.Enable(IDC_SERID_APPLY, false);
    }
}

void SerialNumberPage::OnOtherCommand(uint32_t control, uint32_t notifyCode) {
    if (control == IDC_SERID_EDIT && notifyCode == win::kEnChange)
        UpdateApplyState();
}

int SerialNumberPage::OnPrinterStatus(uint32_t status) {
    if (!AnyRadioChecked())
        Select(IDC_SERID_AUTO);
    DisableInputs();
    if (const uint32_t message = MessageFor(status))
        return ShowMessagePath(message);

    ReadUnitSerial();
    if (m_bAutoAllowed == 0 && !IsChecked(IDC_SERID_MANUAL) && !IsChecked(IDC_SERID_UNDEFINED)) {
        m_view.SetChecked(IDC_SERID_AUTO, false);
        Select(IDC_SERID_MANUAL);
    }
    const int usbSerialRead = ReadUsbSerial();
    ShowColumns();
    EnableInputs();
    UpdateApplyState();
    return usbSerialRead;
}

uint32_t SerialNumberPage::MessageFor(uint32_t status) const {
    if (const uint32_t message = PageMessageForStatus(status, HasDevicePath()))
        return message;
    if (IsEmptyText(Link().pszMfg) || IsEmptyText(Link().pszMdl))
        return IDS_INVALID_DATA;
    return 0;
}

void SerialNumberPage::ReadUnitSerial() {
    if (!QueryUnitSerial(Channel(), m_szUnitSerial)) {
        CopyText(m_szUnitSerial, kQueryFailedText);
        m_bAutoAllowed = 0;
    } else if (m_szUnitSerial[0] == '\0') {
        CopyText(m_szUnitSerial, kNoUnitSerialText);
        m_bAutoAllowed = 0;
    } else {
        m_bAutoAllowed = 1;
    }
}

int SerialNumberPage::ReadUsbSerial() {
    if (!tav::setup::ReadUsbSerial(Channel(), m_szUsbSerial)) {
        CopyText(m_szUsbSerial, kQueryFailedText);
        return 0;
    }
    if (m_szUsbSerial[0] == '\0')
        CopyText(m_szUsbSerial, kNoUsbSerialText);
    return 1;
}

void SerialNumberPage::ShowColumns() {
    char value[kSerialValueBufferSize];
    std::snprintf(value, sizeof value, kSerialValueFormat, Link().pszMfg, Link().pszMdl,
                  m_szUsbSerial, m_szUnitSerial);
    m_view.SetAnsiText(IDC_SERID_LABEL, kSerialLabelText);
    m_view.SetAnsiText(IDC_SERID_VALUE, value);
}

void SerialNumberPage::EnableInputs() {
    m_view.Enable(IDC_SERID_REFRESH, true);
    m_view.Enable(IDC_SERID_AUTO, m_bAutoAllowed == 1);
    m_view.Enable(IDC_SERID_MANUAL, true);
    m_view.Enable(IDC_SERID_UNDEFINED, true);
    m_view.Enable(IDC_SERID_EDIT, true);
    m_view.Enable(IDC_SERID_APPLY, true);
}

int SerialNumberPage::ShowMessagePath(uint32_t id) {
    ShowMessage(id);
    std::memset(m_szUsbSerial, 0, sizeof m_szUsbSerial);
    std::memset(m_szUnitSerial, 0, sizeof m_szUnitSerial);
    return 0;
}

int SerialNumberPage::ApplySetting() {
    DisableInputs();
    SerialMode mode = SerialModeManual;
    std::string text;  // zero field: Undefined
    if (IsChecked(IDC_SERID_AUTO))
        mode = SerialModeAuto;
    else if (IsChecked(IDC_SERID_MANUAL))
        text = ManualText();
    if (!WriteUsbSerial(Channel(), mode, text, [this] { m_view.SendToMain(WM_BEGIN_WATCH, 0, 0); }))
        return 0;
    ShowLabel(IDS_CHANGING_SERIAL);
    return 1;
}

std::string SerialNumberPage::ManualText() {
    return CutAnsiText(m_view.AnsiText(IDC_SERID_EDIT), kManualSerialMaxBytes,
                       [this](unsigned char byte) { return m_view.IsLeadByte(byte); });
}

}  // namespace tav::setup
