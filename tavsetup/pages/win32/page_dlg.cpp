#include "tavsetup/pages/win32/page_dlg.h"

#include <imm.h>

#include "shared/win32/wide.h"
#include "tavsetup/pages/page_messages.h"

namespace tav::setup {

BOOL CPageDlg::CreatePage(CWnd* pParentWnd) {
    if (!m_pLogic)
        return FALSE;
    return Create(m_nIDTemplate, pParentWnd);
}

int CPageDlg::OnPrinterStatus(UINT status) {
    return m_pLogic->OnPrinterStatus(status);
}

BOOL CPageDlg::ApplySetting() {
    return m_pLogic->ApplySetting() ? TRUE : FALSE;
}

void CPageDlg::UpdateApplyState() {
    m_pLogic->UpdateApplyState();
}

BOOL CPageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_pLogic->OnInitDialog();
    return TRUE;
}

LRESULT CPageDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const WindowReply reply = AnswerPageMessage(*m_pLogic, message, wParam);
    switch (reply.route) {
        case Route::AnswerZero:
            return 0;
        case Route::Answer:
            return reply.result;
        case Route::WhiteBrush:
            return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
        case Route::Default:
        case Route::ThenDefault:
            break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

std::u16string CPageDlg::LoadText(uint32_t id) {
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

void CPageDlg::SetAnsiText(uint32_t control, const std::string& text) {
    ::SetDlgItemTextA(m_hWnd, static_cast<int>(control), text.c_str());
}

void CPageDlg::Show(uint32_t control, bool show) {
    ::ShowWindow(GetDlgItem(static_cast<int>(control)), show ? SW_SHOW : SW_HIDE);
}

bool CPageDlg::IsChecked(uint32_t control) {
    return ::IsDlgButtonChecked(m_hWnd, static_cast<int>(control)) == BST_CHECKED;
}

void CPageDlg::SetChecked(uint32_t control, bool checked) {
    ::CheckDlgButton(m_hWnd, static_cast<int>(control), checked ? BST_CHECKED : BST_UNCHECKED);
}

uint32_t CPageDlg::TextLength(uint32_t control) {
    return static_cast<uint32_t>(::GetWindowTextLengthW(GetDlgItem(static_cast<int>(control))));
}

std::string CPageDlg::AnsiText(uint32_t control) {
    // The ANSI length is an upper bound of the converted text.
    const int size = ::GetWindowTextLengthA(GetDlgItem(static_cast<int>(control))) + 1;
    std::string text(static_cast<size_t>(size), '\0');
    const UINT got = ::GetDlgItemTextA(m_hWnd, static_cast<int>(control), &text[0], size);
    text.resize(got);
    return text;
}

void CPageDlg::LimitText(uint32_t control, uint32_t characters) {
    ::SendDlgItemMessageW(m_hWnd, static_cast<int>(control), EM_LIMITTEXT, characters, 0);
}

void CPageDlg::DetachInputMethod(uint32_t control) {
    ::ImmAssociateContext(GetDlgItem(static_cast<int>(control)), nullptr);
}

bool CPageDlg::IsLeadByte(uint8_t byte) {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

intptr_t CPageDlg::SendToMain(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return ::SendMessageW(::GetParent(m_hWnd), message, wParam, lParam);
}

int CPageDlg::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                             uint32_t style) {
    return ::MessageBoxW(m_hWnd, AsWide(text), AsWide(caption), style);
}

bool CPageDlg::IsThemeActive() {
    return IsThemeActiveNow();
}

void CPageDlg::EndPage(int result) {
    EndDialog(result);
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

}  // namespace tav::setup
