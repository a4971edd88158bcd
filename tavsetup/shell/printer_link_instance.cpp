#include "tavsetup/shell/printer_link_instance.h"

namespace tav {

PrinterLink* g_pPrinterLink = nullptr;

}  // namespace tav
