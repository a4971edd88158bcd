#pragma once
// The printers tavports can name without talking to a printer: the attached ones (present
// printer interfaces) and the ones a link names. A selector picks one by the rule both
// consoles share: its instance ID and its iSerialNumber, both read from its interface path,
// or the COM name of a port that links it.

#include <string>
#include <vector>

#include "portlink/port_report.h"

namespace tav::tavports {

struct KnownPrinter {
    std::u16string path;
    bool present = false;
    std::vector<portlink::PortRow> ports;  // the readable ports that link it
};

std::vector<KnownPrinter> KnownPrinters(const portlink::PortReport& report);

std::vector<KnownPrinter> SelectKnownPrinters(const std::vector<KnownPrinter>& printers,
                                              const std::string& selector);

// "USB\VID_1B7E&PID_0101\D8K0012345" of "\\?\USB#VID_1B7E&PID_0101#D8K0012345#{...}": an
// interface path is the device's instance ID with '#' for '\', the interface class after it.
// Empty for a path of another shape.
std::u16string InstanceIdOfInterfacePath(std::u16string_view path);

// The iSerialNumber in a printer's path: the instance part of a USB device's ID, unless
// Windows made that part up for a device without a serial number (it then holds '&').
std::u16string UsbSerialOfPath(std::u16string_view path);

}  // namespace tav::tavports
