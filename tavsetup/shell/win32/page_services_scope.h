#pragma once
// The pages' services over the real system for the time the main window runs. Kept apart
// from the printer link's Win32 headers, whose SetupAPI names the page headers share.

#include <functional>

#include "printer/link/platform.h"

namespace tav::setup {

struct PageServices;

// Runs `body` with the pages' services: the settings protocol over the one PrinterLink on
// `sys`, the driver package lookup and the PnP refresh over Win32.
void RunWithPageServices(PrinterPlatform& sys,
                         const std::function<void(const PageServices&)>& body);

}  // namespace tav::setup
