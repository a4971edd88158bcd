#pragma once
// What the three setting pages share about their controls, whatever the page's own setting:
// the layout of a page, its start-up texts, the message path of a status from the main
// window, and what a command from a page control means.

#include <cstdint>
#include <string>
#include <vector>

#include "tavsetup/pages/page_view.h"

namespace tav::setup {

// A page's controls and the string-table texts they start with.
struct PageLayout {
    struct Text {
        uint32_t control;
        uint32_t stringId;
    };
    std::vector<Text> texts;       // set at start-up (title, buttons, group, radios)
    uint32_t refresh;              // Refresh button
    uint32_t label;                // label column, also the message area
    uint32_t value;                // value column
    std::vector<uint32_t> inputs;  // every input besides Refresh (radios, edit, Apply)
    std::vector<uint32_t> radios;  // radio buttons
    uint32_t apply;                // Apply button
};

// Texts from the string table, "Receiving the printer data..." in the label column.
void SetPageStartTexts(PageView& view, const PageLayout& layout);

// Clears the value column and disables every input, Refresh included.
void DisablePageInputs(PageView& view, const PageLayout& layout);

// The message path: shows string `messageId` in the label column with only Refresh enabled.
void ShowPageMessage(PageView& view, const PageLayout& layout, uint32_t messageId);

// The string a status shows on the message path, or 0 when the page may read its setting:
// a non-zero status itself, 113 for status 0 without a printer path.
uint32_t PageMessageForStatus(uint32_t status, bool hasDevicePath);

enum class PageCommand {
    Swallow,  // IDOK / IDCANCEL: Enter and Escape never close a page (answered with 0)
    Refresh,  // post WM_REDETECT
    Apply,    // the page's set request
    Radio,    // a choice changed
    Other,
};

// What a WM_COMMAND (control id, notification code) from the page means.
PageCommand ClassifyPageCommand(const PageLayout& layout, uint32_t control, uint32_t notifyCode);

}  // namespace tav::setup
