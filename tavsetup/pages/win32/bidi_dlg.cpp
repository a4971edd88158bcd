#include "tavsetup/pages/win32/bidi_dlg.h"

#include <new>

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_services.h"
#include "tavsetup/res/resource.h"

namespace tav::setup {

CBidiDlg::CBidiDlg(const PageServices& services) : CPageDlg(IDD_BIDI_DIALOG, BidiPageLayout()) {
    m_pLogic.reset(new (std::nothrow) PrinterResponsePage(*this, services.Printer()));
}

void CBidiDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_BIDI_TITLE, m_stcTitle);
    DDX_Control(pDX, IDC_BIDI_REFRESH, m_btnRefresh);
    DDX_Control(pDX, IDC_BIDI_GROUP, m_grpCurrent);
    DDX_Control(pDX, IDC_BIDI_LABEL, m_stcLabel);
    DDX_Control(pDX, IDC_BIDI_VALUE, m_stcValue);
    DDX_Control(pDX, IDC_BIDI_RECEIVE, m_rdoReceive);
    DDX_Control(pDX, IDC_BIDI_NOT_RECEIVE, m_rdoNotReceive);
    DDX_Control(pDX, IDC_BIDI_APPLY, m_btnApply);
}

}  // namespace tav::setup
