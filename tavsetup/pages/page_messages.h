#pragma once
// Messages and status codes between the main window and the pages, in the application's
// own range above WM_APP.

#include <cstdint>

#include "shared/win/messages.h"

namespace tav::setup {

// Main window to each page: wParam = status code, lParam 0. Shares WM_APP with the main
// window's own WM_DETECT_PRINTER; the two never meet because each goes to a different window.
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

}  // namespace tav::setup
