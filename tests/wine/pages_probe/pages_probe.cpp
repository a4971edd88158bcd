// A small console program that runs the driver package lookup and the PnP refresh on this
// machine with the Win32 adapters, and prints what they found.

#include <windows.h>

#include <cstdio>

#include "shared/win32/system_clock.h"
#include "tavsetup/pages/driver_package.h"
#include "tavsetup/pages/module_directory.h"
#include "tavsetup/pages/pnp_refresh.h"
#include "tavsetup/pages/win32/win32_driver_store.h"
#include "tavsetup/pages/win32/win32_file_system.h"
#include "tavsetup/pages/win32/win32_pnp_manager.h"
#include "tavsetup/printer_link/win32/win32_device_setup.h"

int wmain() {
    tav::setup::Win32FileSystem files;
    tav::setup::Win32DriverStore store;
    tav::setup::Win32DebugOutput debug;
    tav::setup::DriverPackagePlatform platform{files, store, debug};
    const auto directory = tav::setup::GetModuleDirectory(files);
    std::wprintf(L"module directory: %ls\n",
                 directory ? reinterpret_cast<const wchar_t*>(directory->c_str()) : L"(none)");
    std::wprintf(L"port driver available: %d\n",
                 tav::setup::IsPortDriverAvailable(platform) ? 1 : 0);

    tav::setup::Win32DeviceSetup setup;
    tav::setup::Win32PnpManager pnp;
    tav::SystemClock clock;
    const DWORD start = ::GetTickCount();
    tav::setup::RefreshPnpDevices(setup, pnp, clock);
    std::wprintf(L"pnp refresh done in %lu ms\n",
                 static_cast<unsigned long>(::GetTickCount() - start));
    return 0;
}
