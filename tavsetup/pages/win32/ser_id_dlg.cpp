#include "tavsetup/pages/win32/ser_id_dlg.h"

#include <imm.h>

#include "tavsetup/res/resource.h"
#include "tavsetup/shell/page_layouts.h"

namespace tav {

namespace {
constexpr WPARAM kSerialTextLimit = 10;
}

CSerIdDlg::CSerIdDlg() : CPageDlg(IDD_SERID_DIALOG, SerIdPageLayout()) {}

void CSerIdDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_SERID_TITLE, m_stcTitle);
    DDX_Control(pDX, IDC_SERID_REFRESH, m_btnRefresh);
    DDX_Control(pDX, IDC_SERID_GROUP, m_grpCurrent);
    DDX_Control(pDX, IDC_SERID_LABEL, m_stcLabel);
    DDX_Control(pDX, IDC_SERID_VALUE, m_stcValue);
    DDX_Control(pDX, IDC_SERID_AUTO, m_rdoAuto);
    DDX_Control(pDX, IDC_SERID_MANUAL, m_rdoManual);
    DDX_Control(pDX, IDC_SERID_EDIT, m_edtSerial);
    DDX_Control(pDX, IDC_SERID_UNDEFINED, m_rdoUndefined);
    DDX_Control(pDX, IDC_SERID_APPLY, m_btnApply);
}

BOOL CSerIdDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // At most ten characters and no input method: composed text cannot reach the printer.
    m_edtSerial.SendMessage(EM_LIMITTEXT, kSerialTextLimit);
    ::ImmAssociateContext(m_edtSerial.m_hWnd, nullptr);
    SetPageStartTexts(*this, m_layout);
    m_bAutoAllowed = 1;
    Enable(IDC_SERID_REFRESH, true);
    Enable(IDC_SERID_AUTO, m_bAutoAllowed != 0);
    Enable(IDC_SERID_MANUAL, true);
    Enable(IDC_SERID_UNDEFINED, true);
    Enable(IDC_SERID_EDIT, true);
    Enable(IDC_SERID_APPLY, true);
    UpdateApplyState();
    return TRUE;
}

LRESULT CSerIdDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CPageDlg::WindowProc(message, wParam, lParam);
}

}  // namespace tav
