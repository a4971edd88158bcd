#include "tavsetup/pages/page_controls.h"

#include <algorithm>

#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/window_messages.h"  // kIdOk, kIdCancel

namespace tav::setup {

namespace {}

void SetPageStartTexts(PageView& view, const PageLayout& layout) {
    for (const auto& text : layout.texts)
        view.SetText(text.control, view.LoadText(text.stringId));
    view.SetText(layout.label, view.LoadText(IDS_RECEIVING));
}

void DisablePageInputs(PageView& view, const PageLayout& layout) {
    view.SetText(layout.value, u"");
    view.Enable(layout.refresh, false);
    for (uint32_t input : layout.inputs)
        view.Enable(input, false);
}

void ShowPageMessage(PageView& view, const PageLayout& layout, uint32_t messageId) {
    DisablePageInputs(view, layout);
    view.SetText(layout.label, view.LoadText(messageId));
    view.Enable(layout.refresh, true);
}

uint32_t PageMessageForStatus(uint32_t status, bool hasDevicePath) {
    if (status != kStatusPrinterReady)
        return status;
    return hasDevicePath ? 0 : kStatusUndetected;
}

PageCommand ClassifyPageCommand(const PageLayout& layout, uint32_t control, uint32_t notifyCode) {
    if (control == win::kIdOk || control == win::kIdCancel)
        return PageCommand::Swallow;
    if (notifyCode != win::kBnClicked)
        return PageCommand::Other;
    if (control == layout.refresh)
        return PageCommand::Refresh;
    if (control == layout.apply)
        return PageCommand::Apply;
    const auto& radios = layout.radios;
    if (std::find(radios.begin(), radios.end(), control) != radios.end())
        return PageCommand::Radio;
    return PageCommand::Other;
}

}  // namespace tav::setup
