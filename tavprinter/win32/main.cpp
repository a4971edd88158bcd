// tavprinter.exe: the utility's settings of the attached printers from a script (console,
// 64-bit). Wires the Win32 adapters of the printer link, the port link core and the
// consoles' host to the portable program.

#include <string>
#include <vector>

#include "portlink/core/win32/win32_port_adapters.h"
#include "portlink/win32/win32_tool_host.h"
#include "printer/link/win32/win32_printer_platform.h"
#include "printer/settings/win32/win32_driver_store.h"
#include "printer/settings/win32/win32_file_system.h"
#include "printer/settings/win32/win32_pnp_manager.h"
#include "shared/u16.h"
#include "tavprinter/port_side.h"
#include "tavprinter/tavprinter_app.h"
#include "tavprinter/win32/win32_tool_kernel.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tav::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));

    tav::setup::Win32PrinterPlatform printer;
    tav::setup::Win32PnpManager pnp;

    tav::portsvc::Win32PortLinkPlatform adapters;
    tav::portsvc::PortLinkPlatform portPlatform = adapters.Platform();
    // Never started: the tool's reads emit no trace events of the service.
    tav::portsvc::TraceProvider trace(portPlatform.trace);
    tav::portlink::Win32ToolHost host;
    tav::portlink::ToolContext ports{tav::portsvc::PassContext{portPlatform, trace}, host};

    tav::setup::Win32FileSystem files;
    tav::setup::Win32DriverStore store;
    tav::setup::Win32DebugOutput debug;
    tav::setup::DriverPackagePlatform package{files, store, debug};
    tav::tavprinter::ReportPortSide portSide(ports, package);

    tav::tavprinter::Win32ToolKernel kernel;
    tav::tavprinter::Win32ToolOutput output;
    tav::tavprinter::ToolPlatform tool{printer.platform, pnp, kernel, portSide, output};
    return tav::tavprinter::RunTavprinter(args, tool, TAVPRINTER_VERSION);
}
