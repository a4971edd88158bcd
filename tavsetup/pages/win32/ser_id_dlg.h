#pragma once
// The iSerialNumber page (template 129). Its setting logic comes on top of the shared page
// behaviour.

#include "tavsetup/pages/win32/page_dlg.h"

namespace tav {

class CSerIdDlg : public CPageDlg {
  public:
    CSerIdDlg();

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
    CWnd m_rdoAuto;
    CWnd m_rdoManual;
    CWnd m_edtSerial;
    CWnd m_rdoUndefined;
    CWnd m_btnApply;
    int m_bAutoAllowed = 1;
};

}  // namespace tav
