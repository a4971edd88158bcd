#include "tavsetup/shell/win32/page_services_scope.h"

#include "printer/settings/driver_package.h"
#include "printer/settings/link_channel.h"
#include "printer/settings/pnp_manager.h"
#include "printer/settings/win32/win32_driver_store.h"
#include "printer/settings/win32/win32_file_system.h"
#include "printer/settings/win32/win32_pnp_manager.h"
#include "tavsetup/pages/driver_type_services.h"
#include "tavsetup/pages/page_services.h"
#include "tavsetup/shell/printer_link_instance.h"

namespace tav::setup {

void RunWithPageServices(PrinterPlatform& sys,
                         const std::function<void(const PageServices&)>& body) {
    Win32FileSystem files;
    Win32DriverStore store;
    Win32DebugOutput debug;
    DriverPackagePlatform package{files, store, debug};
    Win32PnpManager pnp;
    PlatformDriverTypeServices driverType(package, sys.setup, pnp, sys.clock);
    LinkChannel channel(sys, *g_pPrinterLink);
    const PageServices services{channel, *g_pPrinterLink, driverType};
    body(services);
}

}  // namespace tav::setup
