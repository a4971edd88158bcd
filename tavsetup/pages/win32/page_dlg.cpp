#include "tavsetup/pages/win32/page_dlg.h"

#include "shared/win32/wide.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/window_messages.h"

namespace tav {

int CPageDlg::OnPrinterStatus(UINT status) {
    DisablePageInputs(*this, m_layout);
    const bool hasPath = g_pPrinterLink && g_pPrinterLink->pszDevicePath.has_value();
    const uint32_t message = PageMessageForStatus(status, hasPath);
    // Until the page reads its setting, a found printer leaves it waiting for a refresh.
    ShowPageMessage(*this, m_layout, message != 0 ? message : IDS_RECEIVING);
    return 0;
}

void CPageDlg::UpdateApplyState() {
    Enable(m_layout.apply, false);
}

BOOL CPageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetPageStartTexts(*this, m_layout);
    Enable(m_layout.refresh, true);
    for (uint32_t radio : m_layout.radios)
        Enable(radio, true);
    UpdateApplyState();
    return TRUE;
}

LRESULT CPageDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (ClassifyPageCommand(m_layout, LOWORD(wParam), HIWORD(wParam))) {
                case PageCommand::Swallow:
                    return 0;
                case PageCommand::Refresh:
                    PostRedetect();
                    break;
                case PageCommand::Apply:
                    if (!ApplySetting())
                        OnPrinterStatus(kStatusCommunicationError);
                    break;
                case PageCommand::Radio:
                    UpdateApplyState();
                    break;
                case PageCommand::Other:
                    break;
            }
            break;
        case WM_DESTROY:
        case WM_CLOSE:
            EndDialog(0);
            break;
        case WM_HELP:
            return 0;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            if (IsThemeActiveNow())
                return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
            break;
        case WM_PRINTER_STATUS:
            return OnPrinterStatus(static_cast<UINT>(wParam));
        default:
            break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

std::u16string CPageDlg::LoadString(uint32_t id) {
    const std::wstring text = LoadResourceString(id);
    return std::u16string(reinterpret_cast<const char16_t*>(text.c_str()), text.size());
}

void CPageDlg::SetText(uint32_t control, const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, static_cast<int>(control), AsWide(text));
}

void CPageDlg::Enable(uint32_t control, bool enable) {
    ::EnableWindow(GetDlgItem(static_cast<int>(control)), enable ? TRUE : FALSE);
}

void CPageDlg::PostRedetect() {
    ::PostMessageW(::GetParent(m_hWnd), WM_REDETECT, 0, 0);
}

bool IsThemeActiveNow() {
    HMODULE uxTheme = ::LoadLibraryW(L"UxTheme.dll");
    if (!uxTheme)
        return false;
    using IsThemeActiveFn = BOOL(WINAPI*)();
    // Through a plain function pointer type, which any procedure address converts to.
    auto isThemeActive = reinterpret_cast<IsThemeActiveFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(uxTheme, "IsThemeActive")));
    const bool active = isThemeActive && isThemeActive();
    ::FreeLibrary(uxTheme);
    return active;
}

}  // namespace tav
