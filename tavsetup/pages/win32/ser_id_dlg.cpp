#include "tavsetup/pages/win32/ser_id_dlg.h"

#include <new>

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_services.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

CSerIdDlg::CSerIdDlg(const PageServices& services) : CPageDlg(IDD_SERID_DIALOG, SerIdPageLayout()) {
    m_pLogic.reset(new (std::nothrow) SerialNumberPage(*this, services.Printer()));
}

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

}  // namespace tav::setup
