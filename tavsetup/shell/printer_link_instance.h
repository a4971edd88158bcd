#pragma once
// The one PrinterLink of the process: set by the start-up before the main window exists
// and cleared after it is gone.

#include "printer/link/printer_link.h"

namespace tav::setup {

extern PrinterLink* g_pPrinterLink;

}  // namespace tav::setup
