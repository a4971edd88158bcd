#include "tavsetup/shell/framework/dialog.h"

#include "shared/callback_boundary.h"

namespace tav::setup {

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    control.Attach(::GetDlgItem(pDX->m_hDialog, nIDC));
}

CDialog::~CDialog() {
    DestroyWindow();
}

INT_PTR CDialog::DoModal() {
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_bModal = true;
    m_bContinueModal = true;
    m_nModalResult = -1;
    if (!::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), hOwner,
                              InitDialogProc, reinterpret_cast<LPARAM>(this)))
        return -1;
    const bool disableOwner = hOwner && ::IsWindowEnabled(hOwner);
    if (disableOwner)
        ::EnableWindow(hOwner, FALSE);
    if (m_bContinueModal) {
        CenterOnWorkArea();
        ::ShowWindow(m_hWnd, SW_SHOW);
        RunModalLoop();
    }
    if (disableOwner)
        ::EnableWindow(hOwner, TRUE);
    DestroyWindow();
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (m_bContinueModal) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for the caller
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::CenterOnWorkArea() {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT rect = GetWindowRect();
    const int x = work.left + ((work.right - work.left) - (rect.right - rect.left)) / 2;
    const int y = work.top + ((work.bottom - work.top) - (rect.bottom - rect.top)) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nIDTemplate),
                                pParentWnd ? pParentWnd->m_hWnd : nullptr, InitDialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);  // WM_NCDESTROY detaches the object
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal) {
        m_nModalResult = nResult;
        m_bContinueModal = false;
        return;
    }
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    CDataExchange dx{m_hWnd};
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    return m_hWnd && ::IsDialogMessageW(m_hWnd, pMsg);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            break;
        case IDCANCEL:
            OnCancel();
            break;
        default:
            return FALSE;
    }
    *pResult = 0;
    return TRUE;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
}

void CDialog::Subclass(HWND hWnd) {
    m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
}

INT_PTR CALLBACK CDialog::InitDialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) noexcept {
    if (message != WM_INITDIALOG)
        return FALSE;  // everything else reaches WindowProc through the subclass
    auto* self = reinterpret_cast<CDialog*>(lParam);
    return AtCallbackBoundary(
        [&]() -> INT_PTR {
            self->Subclass(hWnd);
            return self->OnInitDialog();
        },
        INT_PTR{FALSE});
}

LRESULT CALLBACK CDialog::SubclassProc(HWND hWnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const LRESULT result =
        AtCallbackBoundary([&] { return self->WindowProc(message, wParam, lParam); },
                           [&] { return self->DefWindowProc(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pfnSuper));
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->m_bContinueModal = false;
    }
    return result;
}

}  // namespace tav::setup
