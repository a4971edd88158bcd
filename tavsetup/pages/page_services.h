#pragma once
// What the page dialogs reach besides their own windows: the settings protocol's
// transactions on the one PrinterLink, the link itself, and the driver type page's device
// management. The main window hands them to its pages when it builds them.

#include "printer/link/printer_link.h"
#include "printer/settings/printer_channel.h"
#include "tavsetup/pages/driver_type_services.h"
#include "tavsetup/pages/page_common.h"

namespace tav::setup {

struct PageServices {
    PrinterChannel& channel;
    const PrinterLink& link;
    DriverTypeServices& driverType;

    PagePrinter Printer() const { return PagePrinter{channel, link}; }
};

}  // namespace tav::setup
