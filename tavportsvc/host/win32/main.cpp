// Process entry of Tavportsvc.exe: the module object is built during static
// initialisation from the Win32 adapters, and the main routine hands it the command line.
#include <windows.h>

#include "portlink/core/win32/win32_port_adapters.h"
#include "shared/win32/system_clock.h"
#include "shared/win32/wide.h"
#include "tavportsvc/host/tavportsvc_module.h"
#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace {

tav::portsvc::Win32Registry g_registry;
tav::portsvc::host::Win32ServiceControlManager g_scm;
tav::portsvc::host::Win32ServiceDispatcher g_dispatcher;
tav::portsvc::host::Win32ComRuntime g_com;
tav::portsvc::host::Win32ThreadMessages g_messages;
tav::portsvc::host::Win32TypeLibraries g_typeLibs;
tav::portsvc::host::Win32ModuleImage g_image;
tav::SystemClock g_clock;
tav::portsvc::host::HostPlatform g_hostPlatform{g_registry, g_scm,      g_dispatcher, g_com,
                                                g_messages, g_typeLibs, g_image,      g_clock};
tav::portsvc::Win32PortLinkPlatform g_corePlatform;
tav::portsvc::host::CTavportsvcModule _AtlModule(g_hostPlatform, g_corePlatform.Platform());

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return static_cast<int>(_AtlModule.ProcessMain(tav::FromWide(::GetCommandLineW())));
}
