#include "shared/printer_selector.h"

#include "shared/u16.h"

namespace tav {

bool SelectorNamesPrinter(const PrinterNames& names, std::u16string_view selector) {
    if (selector.empty())
        return false;
    for (const std::u16string* name : {&names.instanceId, &names.serial, &names.comPort})
        if (!name->empty() && EqualsNoCase(*name, selector))
            return true;
    return false;
}

}  // namespace tav
