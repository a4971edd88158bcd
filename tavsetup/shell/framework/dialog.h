#pragma once
// The dialog class of the framework: a dialog from a template, run modally through the
// framework's own message loop (so PreTranslateMessage sees every message) or created as
// a modeless child. The dialog window is subclassed so that WindowProc sees each message
// before the system's dialog handling, which is what DefWindowProc passes on to.

#include "tavsetup/shell/framework/wnd.h"

namespace tav::setup {

// Binds template controls to member windows.
struct CDataExchange {
    HWND m_hDialog;
};
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}
    ~CDialog() override;

    // Runs the dialog modally; the value given to EndDialog, or -1 when it cannot be made.
    INT_PTR DoModal();
    // Creates the dialog modeless as a child of (or owned by) pParentWnd.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd);
    BOOL DestroyWindow();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    // Returns TRUE when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message-map stage: TRUE with *pResult when a handler took the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // The system's dialog handling of a message.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // The Windows callbacks: no exception leaves them (FALSE, or the system's dialog
    // handling, when anything unexpected happens).
    static INT_PTR CALLBACK InitDialogProc(HWND hWnd, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept;
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept;
    void Subclass(HWND hWnd);
    void RunModalLoop();
    void CenterOnWorkArea();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    WNDPROC m_pfnSuper = nullptr;
    bool m_bModal = false;
    bool m_bContinueModal = false;
    INT_PTR m_nModalResult = -1;
};

}  // namespace tav::setup
