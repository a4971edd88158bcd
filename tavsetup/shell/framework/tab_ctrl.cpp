#include "tavsetup/shell/framework/tab_ctrl.h"

#include <commctrl.h>

namespace tav::setup {

int CTabCtrl::InsertItem(int nItem, const std::wstring& text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(
        SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CTabCtrl::GetCurSel() const {
    return static_cast<int>(SendMessage(TCM_GETCURSEL));
}

RECT CTabCtrl::AdjustRect(RECT rect) const {
    SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

}  // namespace tav::setup
