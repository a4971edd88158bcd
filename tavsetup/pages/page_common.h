#pragma once
// What the three setting pages share: the window procedure's decisions (Enter and Escape
// swallowed, no help, white backgrounds on a themed tab control, a status from the main
// window, Refresh, Apply, a choice), and the steps every page's refresh and apply use.
// Each page's own setting logic overrides OnInitDialog, OnPrinterStatus, ApplySetting and
// UpdateApplyState.

#include <cstdint>
#include <string>

#include "printer/link/printer_link.h"
#include "printer/settings/printer_channel.h"
#include "shared/win/messages.h"
#include "tavsetup/pages/page_controls.h"
#include "tavsetup/pages/page_view.h"
#include "tavsetup/pages/window_reply.h"

namespace tav::setup {

// The wide value text of a page: ": %s" in a buffer of 256 characters.
inline constexpr size_t kWideValueMax = 255;

// The printer as the pages reach it: transactions of the settings protocol and the one
// PrinterLink that the last detection step filled.
struct PagePrinter {
    PrinterChannel& channel;
    const PrinterLink& link;
};

class PageLogic;

// The page's window procedure at the Windows callback: whatever goes wrong in the page's
// logic (no memory for a text, ...), the message gets the default handling.
WindowReply AnswerPageMessage(PageLogic& page, uint32_t message, uintptr_t wParam) noexcept;

class PageLogic {
  public:
    PageLogic(PageView& view, const PageLayout& layout, PagePrinter printer)
        : m_view(view), m_layout(layout), m_printer(printer) {}
    virtual ~PageLogic() = default;
    PageLogic(const PageLogic&) = delete;
    PageLogic& operator=(const PageLogic&) = delete;

    // After the framework's dialog initialisation.
    virtual void OnInitDialog() = 0;
    // A status from the main window; the page's result (the main window does not use it).
    [[nodiscard]] virtual int OnPrinterStatus(uint32_t status) = 0;
    // The page's set request; nonzero on success.
    [[nodiscard]] virtual int ApplySetting() = 0;
    virtual void UpdateApplyState() = 0;
    // Apply clicked: the set request, and "Communication error occurred!!" when it fails.
    virtual void OnApplyClicked();

    // The page's window procedure before the framework's default handling.
    WindowReply OnMessage(uint32_t message, uintptr_t wParam);

  protected:
    // A command the shared handling does not know (e.g. the edit's text changed).
    virtual void OnOtherCommand(uint32_t control, uint32_t notifyCode);

    const PrinterLink& Link() const { return m_printer.link; }
    PrinterChannel& Channel() { return m_printer.channel; }
    bool HasDevicePath() const { return Link().pszDevicePath.has_value(); }

    bool IsChecked(uint32_t radio) { return m_view.IsChecked(radio); }
    bool AnyRadioChecked();
    void Select(uint32_t radio) { m_view.SetChecked(radio, true); }
    // Clears the value column and disables every input, Refresh included.
    void DisableInputs() { DisablePageInputs(m_view, m_layout); }
    // The message path: string `id` in the label column, only Refresh enabled.
    void ShowMessage(uint32_t id) { ShowPageMessage(m_view, m_layout, id); }
    void ShowLabel(uint32_t id) { m_view.SetText(m_layout.label, m_view.LoadText(id)); }
    // Value column ": <string id>" (wide, at most 255 characters).
    void ShowWideValue(uint32_t id);
    // Refresh and the radio buttons enabled, as every page's start-up leaves them.
    void EnableRefreshAndRadios();

    PageView& m_view;
    const PageLayout& m_layout;

  private:
    PagePrinter m_printer;
};

}  // namespace tav::setup
