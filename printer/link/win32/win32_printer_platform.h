#pragma once
// The real platform of the printer link: the system clock and the four Win32 adapters.

#include "printer/link/platform.h"
#include "printer/link/win32/win32_device_io.h"
#include "printer/link/win32/win32_device_setup.h"
#include "printer/link/win32/win32_print_spooler.h"
#include "printer/link/win32/win32_service_manager.h"
#include "shared/win32/system_clock.h"

namespace tav::setup {

class Win32PrinterPlatform {
  public:
    Win32PrinterPlatform() : platform{clock, io, setup, services, spooler} {}
    Win32PrinterPlatform(const Win32PrinterPlatform&) = delete;
    Win32PrinterPlatform& operator=(const Win32PrinterPlatform&) = delete;

    SystemClock clock;
    Win32DeviceIo io;
    Win32DeviceSetup setup;
    Win32ServiceManager services;
    Win32PrintSpooler spooler;
    PrinterPlatform platform;
};

}  // namespace tav::setup
