#include "tavports/printer_choice.h"

#include "portlink/core/port_link_rules.h"
#include "shared/printer_selector.h"
#include "shared/u16.h"

namespace tav::tavports {
using portlink::LinkState;
using portlink::PortRow;

namespace {

constexpr std::u16string_view kPathPrefix = u"\\\\?\\";

KnownPrinter& Entry(std::vector<KnownPrinter>& printers, const std::u16string& path) {
    for (KnownPrinter& printer : printers)
        if (printer.path == path)  // letter case counts, as in the pass's links
            return printer;
    printers.push_back(KnownPrinter{path, false, {}});
    return printers.back();
}

bool Names(const KnownPrinter& printer, const std::u16string& selector) {
    PrinterNames names{InstanceIdOfInterfacePath(printer.path), UsbSerialOfPath(printer.path), {}};
    if (SelectorNamesPrinter(names, selector))
        return true;
    for (const PortRow& port : printer.ports) {
        names.comPort = port.comName;
        if (SelectorNamesPrinter(names, selector))
            return true;
    }
    return false;
}

}  // namespace

std::vector<KnownPrinter> KnownPrinters(const portlink::PortReport& report) {
    std::vector<KnownPrinter> printers;
    for (const PortRow& port : report.ports) {
        if (port.state != LinkState::kLinked)
            continue;
        KnownPrinter& printer = Entry(printers, port.printerPath);
        printer.present = port.printerPresent;
        printer.ports.push_back(port);
    }
    for (const portlink::PrinterRow& waiting : report.printersWithoutPort)
        Entry(printers, waiting.path).present = true;
    return printers;
}

std::vector<KnownPrinter> SelectKnownPrinters(const std::vector<KnownPrinter>& printers,
                                              const std::string& selector) {
    const std::u16string wanted = FromUtf8(selector);
    std::vector<KnownPrinter> found;
    for (const KnownPrinter& printer : printers)
        if (Names(printer, wanted))
            found.push_back(printer);
    return found;
}

std::u16string InstanceIdOfInterfacePath(std::u16string_view path) {
    if (path.substr(0, kPathPrefix.size()) != kPathPrefix)
        return {};
    path.remove_prefix(kPathPrefix.size());
    const size_t classPart = path.rfind(u"#{");
    if (classPart == std::u16string_view::npos)
        return {};
    std::u16string id(path.substr(0, classPart));
    for (char16_t& c : id)
        if (c == u'#')
            c = u'\\';
    return id;
}

std::u16string UsbSerialOfPath(std::u16string_view path) {
    if (!StartsWithNoCase(path, u"\\\\?\\USB#"))
        return {};
    std::u16string serial = portsvc::PrinterSerialFromPath(path);
    return serial.find(u'&') == std::u16string::npos ? serial : std::u16string();
}

}  // namespace tav::tavports
