#include "tavsetup/pages/page_common.h"

#include "shared/callback_boundary.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/window_messages.h"  // kWmCommand, kWmClose, kWmHelp

namespace tav::setup {

WindowReply AnswerPageMessage(PageLogic& page, uint32_t message, uintptr_t wParam) noexcept {
    return AtCallbackBoundary([&] { return page.OnMessage(message, wParam); }, WindowReply{});
}

void PageLogic::OnApplyClicked() {
    if (!ApplySetting())
        // The message path; its result is an answer to the main window, which is not asking.
        static_cast<void>(OnPrinterStatus(kStatusCommunicationError));
}

WindowReply PageLogic::OnMessage(uint32_t message, uintptr_t wParam) {
    switch (message) {
        case win::kWmCommand: {
            const auto control = static_cast<uint32_t>(wParam & 0xFFFF);
            const auto notifyCode = static_cast<uint32_t>((wParam >> 16) & 0xFFFF);
            switch (ClassifyPageCommand(m_layout, control, notifyCode)) {
                case PageCommand::Swallow:
                    return {Route::AnswerZero, 0};
                case PageCommand::Refresh:
                    // The page changes nothing itself; the refresh comes back as a status.
                    m_view.PostRedetect();
                    break;
                case PageCommand::Apply:
                    OnApplyClicked();
                    break;
                case PageCommand::Radio:
                    UpdateApplyState();
                    break;
                case PageCommand::Other:
                    OnOtherCommand(control, notifyCode);
                    break;
            }
            return {};
        }
        case win::kWmDestroy:
        case win::kWmClose:
            m_view.EndPage(0);
            return {};
        case win::kWmHelp:
            return {Route::AnswerZero, 0};
        case win::kWmCtlColorDlg:
        case win::kWmCtlColorStatic:
            // White on the themed tab control; the system's colours otherwise.
            if (m_view.IsThemeActive())
                return {Route::WhiteBrush, 0};
            return {};
        case WM_PRINTER_STATUS:
            return {Route::Answer, OnPrinterStatus(static_cast<uint32_t>(wParam))};
        default:
            return {};
    }
}

void PageLogic::OnOtherCommand(uint32_t, uint32_t) {}

bool PageLogic::AnyRadioChecked() {
    for (uint32_t radio : m_layout.radios)
        if (m_view.IsChecked(radio))
            return true;
    return false;
}

void PageLogic::ShowWideValue(uint32_t id) {
    std::u16string value = u": " + m_view.LoadText(id);
    if (value.size() > kWideValueMax)
        value.resize(kWideValueMax);
    m_view.SetText(m_layout.value, value);
}

void PageLogic::EnableRefreshAndRadios() {
    m_view.Enable(m_layout.refresh, true);
    for (uint32_t radio : m_layout.radios)
        m_view.Enable(radio, true);
}

}  // namespace tav::setup
