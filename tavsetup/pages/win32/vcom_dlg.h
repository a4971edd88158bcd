#pragma once
// The driver type page (template 130). Its logic is DriverTypePage.

#include "tavsetup/pages/win32/page_dlg.h"  // windows.h ahead of the page view

#include "tavsetup/pages/driver_type_page.h"
#include "tavsetup/pages/page_services.h"

namespace tav::setup {

class CVComDlg : public CPageDlg {
  public:
    explicit CVComDlg(const PageServices& services);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;

  public:
    CWnd m_stcTitle;
    CWnd m_btnRefresh;
    CWnd m_grpCurrent;
    CWnd m_stcLabel;
    CWnd m_stcValue;
    CWnd m_rdoPrinterDriver;
    CWnd m_rdoSerialDriver;
    CWnd m_btnApply;
};

}  // namespace tav::setup
