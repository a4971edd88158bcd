#pragma once
// The platform the printer link runs on: small interfaces named for what the logic needs.
// Their methods keep Windows' numeric results and error codes.

#include <cstdint>

#include "shared/clock.h"
#include "shared/guid.h"
#include "shared/win/handles.h"

namespace tav::setup {

// An opaque platform handle (device, event, device information set); 0 is none.
using Handle = win::Handle;

class DeviceIo;        // device_io.h: CreateFileW, overlapped I/O, events
class DeviceSetup;     // device_setup.h: SetupDi* enumeration and class installer
class ServiceManager;  // service_manager.h: service control manager
class PrintSpooler;    // print_spooler.h: EnumPrintersW, GetPrinterDriverDirectoryW

struct PrinterPlatform {
    Clock& clock;
    DeviceIo& io;
    DeviceSetup& setup;
    ServiceManager& services;
    PrintSpooler& spooler;
};

}  // namespace tav::setup
