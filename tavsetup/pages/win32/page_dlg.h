#pragma once
// What the three setting pages share as dialogs: creation from a template as a modeless
// child, and the window operations of the pages' logic (PageView) over the page's own
// controls. Every decision (texts, enabling, selections, requests, the window procedure's
// answers) is made by the page's logic (PageLogic), to which this class forwards.

#include <memory>

#include "tavsetup/pages/page_common.h"
#include "tavsetup/shell/framework/dialog.h"

namespace tav::setup {

class CPageDlg : public CDialog, protected PageView {
  public:
    CPageDlg(UINT nIDTemplate, const PageLayout& layout)
        : CDialog(nIDTemplate), m_layout(layout), m_nIDTemplate(nIDTemplate) {}

    // Creates the page window as a child of the main window; FALSE when the page has no
    // logic (there was no memory for it).
    [[nodiscard]] BOOL CreatePage(CWnd* pParentWnd);

    // A status from the main window; 1 when the page's setting was read.
    [[nodiscard]] int OnPrinterStatus(UINT status);
    // The page's set request; nonzero on success.
    [[nodiscard]] BOOL ApplySetting();
    void UpdateApplyState();

  protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // PageView over the page's own controls and its main window.
    std::u16string LoadText(uint32_t id) override;
    void SetText(uint32_t control, const std::u16string& text) override;
    void Enable(uint32_t control, bool enable) override;
    void PostRedetect() override;
    void SetAnsiText(uint32_t control, const std::string& text) override;
    void Show(uint32_t control, bool show) override;
    bool IsChecked(uint32_t control) override;
    void SetChecked(uint32_t control, bool checked) override;
    uint32_t TextLength(uint32_t control) override;
    std::string AnsiText(uint32_t control) override;
    void LimitText(uint32_t control, uint32_t characters) override;
    void DetachInputMethod(uint32_t control) override;
    bool IsLeadByte(uint8_t byte) override;
    intptr_t SendToMain(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                       uint32_t style) override;
    bool IsThemeActive() override;
    void EndPage(int result) override;

    const PageLayout& m_layout;
    std::unique_ptr<PageLogic> m_pLogic;  // set by each page's constructor

  private:
    UINT m_nIDTemplate;
};

// UxTheme's IsThemeActive, loaded by name for each question; false without it.
bool IsThemeActiveNow();

}  // namespace tav::setup
