#pragma once
// The tab control wrapper: text tabs, the selection, the display area below the headers.

#include "tavsetup/shell/framework/wnd.h"

namespace tav::setup {

class CTabCtrl : public CWnd {
  public:
    // Inserts a text-only tab; its index, or -1.
    int InsertItem(int nItem, const std::wstring& text) const;
    int GetCurSel() const;
    // The display area for a window rectangle (TCM_ADJUSTRECT, larger = FALSE).
    RECT AdjustRect(RECT rect) const;
};

}  // namespace tav::setup
