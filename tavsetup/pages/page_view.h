#pragma once
// The window operations the setting pages' logic uses, all on the page's own controls and
// its main window. The Win32 page dialogs implement them with one call each; tests record
// them.

#include <cstdint>
#include <string>

#include "shared/win/messages.h"

namespace tav::setup {

class PageView {
  public:
    virtual ~PageView() = default;
    virtual std::u16string LoadText(uint32_t id) = 0;
    virtual void SetText(uint32_t control, const std::u16string& text) = 0;
    virtual void Enable(uint32_t control, bool enable) = 0;
    virtual void PostRedetect() = 0;  // WM_REDETECT to the main window
    // 8-bit text in the ANSI code page (SetDlgItemTextA).
    virtual void SetAnsiText(uint32_t control, const std::string& text) = 0;
    // Shows or hides a control (ShowWindow SW_SHOW / SW_HIDE).
    virtual void Show(uint32_t control, bool show) = 0;
    // Radio selection (BM_GETCHECK / BM_SETCHECK).
    virtual bool IsChecked(uint32_t control) = 0;
    virtual void SetChecked(uint32_t control, bool checked) = 0;
    // The edit's text length in characters (GetWindowTextLengthW).
    virtual uint32_t TextLength(uint32_t control) = 0;
    // The edit's text converted to the ANSI code page (GetDlgItemTextA).
    virtual std::string AnsiText(uint32_t control) = 0;
    // EM_LIMITTEXT: the edit refuses more than `characters`.
    virtual void LimitText(uint32_t control, uint32_t characters) = 0;
    // ImmAssociateContext(edit, none): composed input cannot reach the edit.
    virtual void DetachInputMethod(uint32_t control) = 0;
    // IsDBCSLeadByte in the ANSI code page.
    virtual bool IsLeadByte(uint8_t byte) = 0;
    // SendMessageW to the main window: handled before this returns.
    virtual intptr_t SendToMain(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // MessageBoxW owned by the page.
    virtual int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                               uint32_t style) = 0;
    // UxTheme's IsThemeActive, loaded by name for each question; false without it.
    virtual bool IsThemeActive() = 0;
    // EndDialog on the page.
    virtual void EndPage(int result) = 0;
};

}  // namespace tav::setup
