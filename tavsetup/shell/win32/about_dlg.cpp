#include "tavsetup/shell/win32/about_dlg.h"

#include "shared/win32/wide.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/version_line.h"
#include "tavsetup/shell/win32/version_info_source.h"

namespace tav::setup {

CAboutDlg::CAboutDlg(const std::u16string& title, CWnd* pParentWnd)
    : CDialog(IDD_ABOUTBOX, pParentWnd), m_strTitle(title) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_VERSION_TEXT, m_stcVersion);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    Win32VersionInfoSource source;
    ::SetWindowTextW(m_stcVersion.m_hWnd, AsWide(BuildVersionLine(m_strTitle, source)));
    return TRUE;
}

}  // namespace tav::setup
