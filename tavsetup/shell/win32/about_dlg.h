#pragma once
// The about box: one line with the application title and the program's FileVersion.

#include <string>

#include "tavsetup/shell/framework/dialog.h"

namespace tav::setup {

class CAboutDlg : public CDialog {
  public:
    CAboutDlg(const std::u16string& title, CWnd* pParentWnd);

    CWnd m_stcVersion;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

  private:
    std::u16string m_strTitle;
};

}  // namespace tav::setup
