#include "tavsetup/shell/main_window_rules.h"

#include "shared/callback_boundary.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::setup {

namespace {
constexpr int kPageLeft = 25;
constexpr uintptr_t kIdmAboutBox = 0x0010;

Route RouteUnguarded(DetectionCycle& cycle, uint32_t message, uintptr_t wParam) {
    switch (message) {
        case win::kWmClose:
            cycle.OnClose();
            return Route::ThenDefault;
        case win::kWmHelp:
            return Route::AnswerZero;
        case win::kWmTimer:
            cycle.OnTimer();
            return Route::ThenDefault;
        case WM_BEGIN_WATCH:
            cycle.OnBeginWatch();
            return Route::AnswerZero;
        case WM_REDETECT:
            cycle.OnRedetect();
            return Route::AnswerZero;
        case WM_DETECT_PRINTER:
            cycle.DetectStep();
            return Route::AnswerZero;
        case win::kWmDeviceChange:
            cycle.OnDeviceChange(wParam);
            return Route::ThenDefault;
        default:
            return Route::Default;
    }
}

}  // namespace

Route RouteCycleMessage(DetectionCycle& cycle, uint32_t message, uintptr_t wParam) noexcept {
    return AtCallbackBoundary([&] { return RouteUnguarded(cycle, message, wParam); },
                              Route::Default);
}

bool IsSwallowedKey(uint32_t message, uintptr_t wParam) {
    return message == win::kWmKeyDown && (wParam == win::kVkReturn || wParam == win::kVkEscape);
}

bool IsAboutBoxCommand(uintptr_t wParam) {
    return (wParam & 0xFFF0) == kIdmAboutBox;
}

Page PageForTab(int index) {
    switch (index) {
        case 1:
            return Page::Bidi;
        case 2:
            return Page::SerId;
        default:
            return Page::VCom;
    }
}

PageRect PlacePage(int displayTop, int tabClientWidth, int displayBottom) {
    return PageRect{kPageLeft, displayTop, tabClientWidth - kPageLeft, displayBottom - displayTop};
}

int IconOffset(int clientSize, int iconSize) {
    return (clientSize - iconSize + 1) / 2;
}

}  // namespace tav::setup
