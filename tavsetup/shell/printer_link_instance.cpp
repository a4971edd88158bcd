#include "tavsetup/shell/printer_link_instance.h"

namespace tav::setup {

PrinterLink* g_pPrinterLink = nullptr;

}  // namespace tav::setup
