// tavports.exe: which COM port each printer in virtual-serial mode has (console, 64-bit).

#include <string>
#include <vector>

#include "portlink/core/win32/win32_port_adapters.h"
#include "portlink/win32/win32_tool_host.h"
#include "printer/settings/win32/win32_driver_store.h"
#include "printer/settings/win32/win32_file_system.h"
#include "shared/u16.h"
#include "tavports/tavports_app.h"

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tav::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    tav::portsvc::Win32PortLinkPlatform adapters;
    tav::portsvc::PortLinkPlatform platform = adapters.Platform();
    // Never started: the tool's reads emit no trace events of the service.
    tav::portsvc::TraceProvider trace(platform.trace);
    tav::portlink::Win32ToolHost host;
    tav::portlink::Win32Console console;
    tav::tavports::ToolContext ctx{tav::portsvc::PassContext{platform, trace}, host};
    // The port driver check, as tavprinter makes it.
    tav::setup::Win32FileSystem files;
    tav::setup::Win32DriverStore store;
    tav::setup::Win32DebugOutput debug;
    tav::setup::DriverPackagePlatform package{files, store, debug};
    return tav::tavports::RunTavports(args, ctx, console, TAVPORTS_VERSION, &package);
}
