#pragma once
// The pages' services over the real system for the time the main window runs. Kept apart
// from the printer link's Win32 headers, whose SetupAPI names the page headers share.

#include <functional>

#include "tavsetup/printer_link/platform.h"

namespace tav {

// Sets g_pPageServices (settings protocol over the one PrinterLink on `sys`, driver package
// lookup and PnP refresh over Win32) while `body` runs; `body` gets the PnP refresh.
void RunWithPageServices(PrinterPlatform& sys,
                         const std::function<void(const std::function<void()>&)>& body);

}  // namespace tav
