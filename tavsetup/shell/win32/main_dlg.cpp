#include "tavsetup/shell/win32/main_dlg.h"

#include <commctrl.h>
#include <dbt.h>

#include <new>

#include "shared/names.h"
#include "shared/win32/wide.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/pages/win32/bidi_dlg.h"
#include "tavsetup/pages/win32/ser_id_dlg.h"
#include "tavsetup/pages/win32/vcom_dlg.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/main_window_rules.h"
#include "tavsetup/shell/win32/about_dlg.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::setup {

namespace {
constexpr Page kPageOrder[] = {Page::SerId, Page::VCom, Page::Bidi};
}  // namespace

CMainDlg::CMainDlg(const std::u16string& title, PrinterDetector& detector,
                   const PageServices& pages)
    : CDialog(IDD_TAVSETUP_DIALOG),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_cycle(*this, detector),
      m_strTitle(title),
      m_pageServices(pages) {}

// The pages' windows are children of this one: they go first.
CMainDlg::~CMainDlg() {
    DeletePages();
}

CPageDlg* CMainDlg::PageObject(Page page) const {
    switch (page) {
        case Page::SerId:
            return m_pSerIdDlg.get();
        case Page::VCom:
            return m_pVComDlg.get();
        case Page::Bidi:
            return m_pBidiDlg.get();
    }
    return nullptr;
}

void CMainDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TAB, m_tab);
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg) {
    if (IsSwallowedKey(pMsg->message, pMsg->wParam))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutBoxToSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_cycle.Reset();
    ::SetPropW(m_hWnd, AsWide(kSetupMutexName), reinterpret_cast<HANDLE>(1));
    if (!CreatePages()) {
        DeletePages();
        ShowCriticalError();
        EndDialog(0);
        return FALSE;
    }
    // The tabs go in before the pages are placed: the header row's height is known only
    // once it has items.
    m_tab.InsertItem(0, LoadResourceString(IDS_TAB_DRIVER_TYPE));
    m_tab.InsertItem(1, LoadResourceString(IDS_TAB_PRINTER_RESPONSE));
    m_tab.InsertItem(2, LoadResourceString(IDS_TAB_SERIAL));
    PlacePages();
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetWindowTextW(m_hWnd, AsWide(m_strTitle));
    ::SetDlgItemTextW(m_hWnd, IDOK, LoadResourceString(IDS_CLOSE).c_str());
    ::SetDlgItemTextW(m_hWnd, IDCANCEL, LoadResourceString(IDS_CANCEL).c_str());
    ShowPage(Page::VCom);
    m_pageServices.driverType.RefreshPnpDevices();
    PostMessage(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    return TRUE;
}

void CMainDlg::AddAboutBoxToSystemMenu() {
    const std::wstring text = LoadResourceString(IDS_ABOUTBOX);
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (text.empty() || !menu)
        return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

bool CMainDlg::CreatePages() {
    m_pSerIdDlg.reset(new (std::nothrow) CSerIdDlg(m_pageServices));
    if (m_pSerIdDlg)
        m_pVComDlg.reset(new (std::nothrow) CVComDlg(m_pageServices));
    if (m_pVComDlg)
        m_pBidiDlg.reset(new (std::nothrow) CBidiDlg(m_pageServices));
    if (!m_pBidiDlg)
        return false;
    // A page without its window could not be told anything: as critical as no object.
    for (Page page : kPageOrder)
        if (!PageObject(page)->CreatePage(this))
            return false;
    return true;
}

// Each page's destructor destroys its window when it is still there.
void CMainDlg::DeletePages() {
    m_pSerIdDlg.reset();
    m_pVComDlg.reset();
    m_pBidiDlg.reset();
}

void CMainDlg::PlacePages() {
    // In the main window's client coordinates: the tab control's rectangle and the
    // display area below its headers.
    RECT tab = m_tab.GetWindowRect();
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tab), 2);
    const RECT display = m_tab.AdjustRect(tab);
    const RECT client = m_tab.GetClientRect();
    const PageRect r = PlacePage(display.top, client.right - client.left, display.bottom);
    for (Page page : kPageOrder)
        ::SetWindowPos(PageObject(page)->m_hWnd, HWND_TOP, r.left, r.top, r.width, r.height,
                       SWP_SHOWWINDOW);
}

void CMainDlg::ShowPage(Page shown) {
    for (Page page : {Page::Bidi, Page::SerId, Page::VCom})
        PageObject(page)->ShowWindow(page == shown ? SW_SHOW : SW_HIDE);
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (RouteCycleMessage(m_cycle, message, wParam) == Route::AnswerZero)
        return 0;
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CMainDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
        case WM_SYSCOMMAND:
            if (!IsAboutBoxCommand(wParam))
                break;
            {
                CAboutDlg about(m_strTitle, this);
                about.DoModal();
            }
            *pResult = 0;
            return TRUE;
        case WM_PAINT:
            if (!IsIconic())
                break;
            PaintIcon();
            *pResult = 0;
            return TRUE;
        case WM_QUERYDRAGICON:
            *pResult = reinterpret_cast<LRESULT>(m_hIcon);
            return TRUE;
        case WM_DESTROY:
            *pResult = DefWindowProc(message, wParam, lParam);
            OnDestroy();
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_TAB || header->code != static_cast<UINT>(TCN_SELCHANGE))
                break;
            ShowPage(PageForTab(m_tab.GetCurSel()));
            *pResult = 0;
            return TRUE;
        }
        default:
            break;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

void CMainDlg::PaintIcon() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT client = GetClientRect();
    const int x = IconOffset(client.right - client.left, ::GetSystemMetrics(SM_CXICON));
    const int y = IconOffset(client.bottom - client.top, ::GetSystemMetrics(SM_CYICON));
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

void CMainDlg::OnDestroy() {
    ::RemovePropW(m_hWnd, AsWide(kSetupMutexName));
    DeletePages();
}

void CMainDlg::ShowCriticalError() {
    ::MessageBoxW(m_hWnd, L"A critical error occurred.", AsWide(m_strTitle),
                  MB_ICONERROR | MB_TOPMOST);
}

void CMainDlg::SetTimer(uint32_t periodMs) {
    ::SetTimer(m_hWnd, kWatchTimerId, periodMs, nullptr);
}

void CMainDlg::KillTimer() {
    ::KillTimer(m_hWnd, kWatchTimerId);
}

void CMainDlg::PostDetectPrinter() {
    PostMessage(WM_DETECT_PRINTER);
}

void CMainDlg::PostStatus(Page page, uint32_t status) {
    ::PostMessageW(PageObject(page)->m_hWnd, WM_PRINTER_STATUS, status, 0);
}

void CMainDlg::ShowSeveralPrintersWarning() {
    ::MessageBoxW(m_hWnd, LoadResourceString(IDS_MULTIPLE_PRINTERS).c_str(), AsWide(m_strTitle),
                  MB_ICONWARNING | MB_TOPMOST);
}

}  // namespace tav::setup
