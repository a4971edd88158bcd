#pragma once
// The driver type page (template 130). Its setting logic comes on top of the shared page behaviour.

#include "tavsetup/pages/win32/page_dlg.h"

namespace tav {

class CVComDlg : public CPageDlg {
  public:
    CVComDlg();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

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

}  // namespace tav
