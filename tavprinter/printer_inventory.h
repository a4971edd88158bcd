#pragma once
// The family's printers the discovery can see, every one of them (the utility takes only
// the first), and each one's settings read from the printer itself.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "printer/settings/setting_operations.h"
#include "tavprinter/tool_platform.h"

namespace tav::tavprinter {

struct FoundPrinter {
    std::u16string instanceId;
    std::u16string ioPath;    // the interface transactions go through
    std::u16string linkPath;  // virtual-serial mode: the printer interface class path
    bool serialMode = false;
};

struct Inventory {
    std::vector<FoundPrinter> printers;
    uint32_t error = 0;  // an enumeration that failed: the list may be incomplete
};

// Present interfaces of the USB printing class (printer-driver mode), the COM port class and
// the printer interface class (virtual-serial mode), one entry per device.
Inventory FindPrinters(ToolPlatform& tool);

struct PrinterSettings {
    std::string model;  // "MFG MDL" of the accepted device ID; empty when not read
    uint32_t idError = 0;
    setup::SettingRead responseRead = setup::SettingRead::kNoReply;
    setup::ResponseSetting response;
    uint32_t responseError = 0;
    std::optional<std::string> usbSerial;  // none when the query failed
    uint32_t serialError = 0;
    std::optional<std::u16string> comPort;  // virtual-serial mode, when a port links it
};

// Reads one printer's settings; `lpdStopped` gathers the print-service fallback's note.
PrinterSettings ReadPrinterSettings(ToolPlatform& tool, const FoundPrinter& printer,
                                    int32_t& lpdStopped);

}  // namespace tav::tavprinter
