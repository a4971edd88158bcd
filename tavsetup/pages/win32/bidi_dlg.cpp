#include "tavsetup/pages/win32/bidi_dlg.h"

#include <new>

#include "tavsetup/res/resource.h"
#include "tavsetup/shell/page_layouts.h"

namespace tav {

CBidiDlg::CBidiDlg() : CPageDlg(IDD_BIDI_DIALOG, BidiPageLayout()) {
    if (HavePagePrinter())
        m_pLogic.reset(new (std::nothrow) PrinterResponsePage(*this, CurrentPagePrinter()));
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

}  // namespace tav
