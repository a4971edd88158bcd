#pragma once
// What the page dialogs reach besides their own windows: the settings protocol's
// transactions on the one PrinterLink and the driver type page's device management. Set by
// the start-up before the main window builds the pages, cleared after it is gone, like
// g_pPrinterLink.

#include "tavsetup/pages/driver_type_services.h"
#include "tavsetup/pages/printer_channel.h"

namespace tav {

struct PageServices {
    PrinterChannel& channel;
    DriverTypeServices& driverType;
};

extern PageServices* g_pPageServices;

}  // namespace tav
