#pragma once
// The main window's own message and timer; the window-manager numbers are in
// shared/win/messages.h.

#include <cstdint>

#include "shared/win/messages.h"

namespace tav::setup {

// Main window to itself: run one detection step. The messages to and from the pages are in
// the pages' room (page_messages.h).
inline constexpr uint32_t WM_DETECT_PRINTER = win::kWmApp;

// Timer 0 of the main window: the watch window and the re-check after an unchanged count.
inline constexpr uint32_t kWatchTimerId = 0;
inline constexpr uint32_t kWatchWindowMs = 5000;
inline constexpr uint32_t kRecheckMs = 500;

}  // namespace tav::setup
