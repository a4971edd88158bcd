#pragma once
// The iSerialNumber page (template 129): its controls; the page's logic is SerialNumberPage.

#include "tavsetup/pages/win32/page_dlg.h"  // windows.h ahead of the page view

#include "tavsetup/pages/page_services.h"
#include "tavsetup/pages/serial_number_page.h"

namespace tav::setup {

class CSerIdDlg : public CPageDlg {
  public:
    explicit CSerIdDlg(const PageServices& services);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;

  public:
    CWnd m_stcTitle;
    CWnd m_btnRefresh;
    CWnd m_grpCurrent;
    CWnd m_stcLabel;
    CWnd m_stcValue;
    CWnd m_rdoAuto;
    CWnd m_rdoManual;
    CWnd m_edtSerial;
    CWnd m_rdoUndefined;
    CWnd m_btnApply;
};

}  // namespace tav::setup
