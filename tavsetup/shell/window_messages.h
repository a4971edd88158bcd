#pragma once
// Messages and status codes between the main window and the pages, and the window-manager
// numbers the portable logic decides on (shared/win/messages.h).

#include <cstdint>

#include "shared/win/messages.h"

namespace tav {

// Main window to itself: run one detection step.
inline constexpr uint32_t WM_DETECT_PRINTER = win::kWmApp;
// Main window to each page: wParam = status code, lParam 0. Shares WM_APP with the above;
// the two never meet because each goes to a different window.
inline constexpr uint32_t WM_PRINTER_STATUS = win::kWmApp;
// Page to main window (sent): open a watch window before a change that re-enumerates.
inline constexpr uint32_t WM_BEGIN_WATCH = win::kWmApp + 1;
// Page to main window (posted by Refresh): forget the last count and detect again.
inline constexpr uint32_t WM_REDETECT = win::kWmApp + 2;

// Status codes of WM_PRINTER_STATUS; apart from 0 each is a string-table id.
inline constexpr uint32_t kStatusPrinterReady = 0;
inline constexpr uint32_t kStatusSeveralPrinters = 102;
inline constexpr uint32_t kStatusUndetected = 113;
inline constexpr uint32_t kStatusCommunicationError = 125;

// Timer 0 of the main window: the watch window and the re-check after an unchanged count.
inline constexpr uint32_t kWatchTimerId = 0;
inline constexpr uint32_t kWatchWindowMs = 5000;
inline constexpr uint32_t kRecheckMs = 500;

}  // namespace tav
