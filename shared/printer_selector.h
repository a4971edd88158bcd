#pragma once
// Which printer a user's word names, one rule for both consoles: its device instance ID, its
// iSerialNumber, or the COM name of the port it uses; letter case ignored. A name a console
// does not know is left empty and names nothing.

#include <string>
#include <string_view>

namespace tav {

struct PrinterNames {
    std::u16string instanceId;
    std::u16string serial;   // iSerialNumber
    std::u16string comPort;  // the port that links it (virtual-serial mode)
};

bool SelectorNamesPrinter(const PrinterNames& names, std::u16string_view selector);

}  // namespace tav
