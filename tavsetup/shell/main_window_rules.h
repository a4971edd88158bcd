#pragma once
// Decisions of the main window outside the detection cycle: which messages the window
// procedure takes, which keys are swallowed, which page a tab shows, where pages go.

#include <cstdint>

#include "tavsetup/pages/window_reply.h"
#include "tavsetup/shell/detection_cycle.h"

namespace tav::setup {

// Runs the cycle's part of the main window procedure for one message. At the Windows
// callback: whatever goes wrong in the cycle (no memory for a path, ...), the message gets
// the default handling.
Route RouteCycleMessage(DetectionCycle& cycle, uint32_t message, uintptr_t wParam) noexcept;

// Enter and Escape never close the window.
bool IsSwallowedKey(uint32_t message, uintptr_t wParam);

// System-menu command of the about box (low four bits are the system's own).
bool IsAboutBoxCommand(uintptr_t wParam);

// Tab 0 Driver Type, 1 Printer Response, 2 iSerialNumber; any other index as 0.
Page PageForTab(int index);

struct PageRect {
    int left;
    int top;
    int width;
    int height;
};

// The one rectangle the three pages share: 25 pixels from the left edge, the tab's display
// area below its headers from displayTop to displayBottom (main window client coordinates).
PageRect PlacePage(int displayTop, int tabClientWidth, int displayBottom);

// Offset that centres an icon of iconSize in a client extent of clientSize.
int IconOffset(int clientSize, int iconSize);

}  // namespace tav::setup
