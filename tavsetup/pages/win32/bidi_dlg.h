#pragma once
// The printer response page (template 131). Its setting logic comes on top of the shared page
// behaviour.

#include "tavsetup/pages/win32/page_dlg.h"

namespace tav {

class CBidiDlg : public CPageDlg {
  public:
    CBidiDlg();

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
    CWnd m_rdoReceive;
    CWnd m_rdoNotReceive;
    CWnd m_btnApply;
};

}  // namespace tav
