#pragma once
// The main window's own message and timer, and the window-manager numbers the portable
// logic decides on. Values are Windows' own (WM_APP is 0x8000).

#include <cstdint>

namespace tav {

// Main window to itself: run one detection step. The messages to and from the pages are in
// the pages' room (page_messages.h).
inline constexpr uint32_t WM_DETECT_PRINTER = 0x8000;

// Timer 0 of the main window: the watch window and the re-check after an unchanged count.
inline constexpr uint32_t kWatchTimerId = 0;
inline constexpr uint32_t kWatchWindowMs = 5000;
inline constexpr uint32_t kRecheckMs = 500;

// Window-manager numbers used by the logic.
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmHelp = 0x0053;
inline constexpr uint32_t kWmDeviceChange = 0x0219;
inline constexpr uint32_t kDbtDevNodesChanged = 0x0007;
inline constexpr uint32_t kVkReturn = 13;
inline constexpr uint32_t kVkEscape = 27;
inline constexpr uint32_t kIdOk = 1;
inline constexpr uint32_t kIdCancel = 2;

}  // namespace tav
