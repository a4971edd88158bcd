#include "portlink/core/port_link_rules.h"

#include "portlink/core/port_link_value.h"
#include "shared/u16.h"

namespace tav::portsvc {

namespace {

constexpr char16_t kEndOfPrefixes[] = u"";

bool SameText(const char16_t* a, const char16_t* b) {
    size_t i = 0;
    for (; a[i] != 0 && b[i] != 0; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return a[i] == b[i];
}

}  // namespace

const char16_t* const kPortPrefixes[2] = {kPortPathPrefix, kEndOfPrefixes};

bool IsFreeLink(const char16_t* link) {
    return link != nullptr && link[0] == 0;
}

bool LinksTo(const char16_t* link, const char16_t* printerPath) {
    return link != nullptr && printerPath != nullptr && SameText(link, printerPath);
}

bool IsLinkablePrinterPath(const char16_t* printerPath) {
    return U16Length(printerPath) <= kLinkMaxChars;
}

DeviceEntry* PortLinkedTo(DeviceEntryList& ports, const char16_t* printerPath) {
    for (DeviceEntry& port : ports.Entries()) {
        if (LinksTo(port.text.c_str(), printerPath))
            return &port;
    }
    return nullptr;
}

DeviceEntry* FirstFreePort(DeviceEntryList& ports) {
    for (DeviceEntry& port : ports.Entries()) {
        if (IsFreeLink(port.text.c_str()))
            return &port;
    }
    return nullptr;
}

bool IsPrinterPresent(const DeviceEntryList& presentPrinters, const char16_t* printerPath) {
    for (const DeviceEntry& printer : presentPrinters.Entries()) {
        if (printerPath && SameText(printer.text.c_str(), printerPath))
            return true;
    }
    return false;
}

std::u16string PrinterSerialFromPath(std::u16string_view printerPath) {
    size_t first = printerPath.find(u'#');
    if (first == std::u16string_view::npos)
        return {};
    size_t second = printerPath.find(u'#', first + 1);
    if (second == std::u16string_view::npos)
        return {};
    size_t third = printerPath.find(u'#', second + 1);
    if (third == std::u16string_view::npos)
        return {};
    return std::u16string(printerPath.substr(second + 1, third - second - 1));
}

}  // namespace tav::portsvc
