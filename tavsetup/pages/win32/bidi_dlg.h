#pragma once
// The printer response page (template 131). Its logic is PrinterResponsePage.

#include "tavsetup/pages/win32/page_dlg.h"  // windows.h ahead of the page view

#include "tavsetup/pages/page_services.h"
#include "tavsetup/pages/printer_response_page.h"

namespace tav::setup {

class CBidiDlg : public CPageDlg {
  public:
    explicit CBidiDlg(const PageServices& services);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;

  public:
    CWnd m_stcTitle;
    CWnd m_btnRefresh;
    CWnd m_grpCurrent;
    CWnd m_stcLabel;
    CWnd m_stcValue;
    CWnd m_rdoReceive;
    CWnd m_rdoNotReceive;
    CWnd m_btnApply;
};

}  // namespace tav::setup
