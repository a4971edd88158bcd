#pragma once
// What the three setting pages share as dialogs: creation from a template as a modeless
// child, start-up texts, the message path of a status from the main window, Enter and
// Escape swallowed, no help, white backgrounds on the themed tab control, and Refresh
// asking the main window for a new detection. A page's own setting logic overrides
// OnPrinterStatus, ApplySetting and UpdateApplyState.

#include "tavsetup/shell/framework/dialog.h"
#include "tavsetup/shell/page_shell.h"

namespace tav {

class CPageDlg : public CDialog, protected PageShellView {
  public:
    CPageDlg(UINT nIDTemplate, const PageLayout& layout)
        : CDialog(nIDTemplate), m_layout(layout), m_nIDTemplate(nIDTemplate) {}

    // Creates the page window as a child of the main window.
    BOOL CreatePage(CWnd* pParentWnd) { return Create(m_nIDTemplate, pParentWnd); }

    // A status from the main window; 1 when the page's setting was read.
    virtual int OnPrinterStatus(UINT status);
    // The page's set request; nonzero on success.
    virtual BOOL ApplySetting() { return FALSE; }
    virtual void UpdateApplyState();

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // PageShellView over the page's own controls.
    std::u16string LoadString(uint32_t id) override;
    void SetText(uint32_t control, const std::u16string& text) override;
    void Enable(uint32_t control, bool enable) override;
    void PostRedetect() override;

    const PageLayout& m_layout;

  private:
    UINT m_nIDTemplate;
};

// UxTheme's IsThemeActive, loaded by name for each question; false without it.
bool IsThemeActiveNow();

}  // namespace tav
