// Demo: the settings protocol against the simulated printer. Reads every setting, changes
// each one, and reads them again once the printer has come back.

#include <cstdio>
#include <string>
#include <vector>

#include "printer/settings/link_channel.h"
#include "printer/settings/settings_protocol.h"
#include "sim/firmware/tav_printer_world.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {
using namespace tav::setup;

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char part[4];
    for (uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%02X ", b);
        out += part;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

const char* DriverType(int32_t bSerialMode) {
    return bSerialMode == 0 ? "Printer Driver" : "Virtual Serial Port Driver";
}

void PrintText(const char* label, int ok, const PrinterTextField& text) {
    if (!ok)
        std::printf("  %-20s ---\n", label);
    else if (text[0] == '\0')
        std::printf("  %-20s Undefined\n", label);
    else
        std::printf("  %-20s %s\n", label, text);
}

void PrintAllSettings(sim::PrinterWorld& world, PrinterLink& link) {
    const int found = DiscoverPrinter(world.platform, link);
    const int accepted = found == 1 && CheckPrinterId(world.platform, link);
    std::printf("  %-20s %d found, %s\n", "printer", found, accepted ? "accepted" : "rejected");
    std::printf("  %-20s %s %s\n", "model", link.pszMfg, link.pszMdl);
    std::printf("  %-20s %s\n", "driver type", DriverType(link.bSerialMode));
    LinkChannel channel(world.platform, link);
    SettingsBlock settings;
    if (ReadSettingsBlock(channel, settings))
        std::printf("  %-20s %s (switch 0x%02X)\n", "printer response",
                    settings.ResponseSwitch() & RESPONSE_RECEIVE_BIT ? "Receive" : "Not receive",
                    settings.ResponseSwitch());
    else
        std::printf("  %-20s --- (%u bytes)\n", "printer response", settings.count);
    PrinterTextField text{};
    PrintText("iSerialNumber", QueryUsbSerial(channel, text), text);
    PrintText("unit serial", QueryUnitSerial(channel, text), text);
    SwitchBlock switches;
    if (ReadSwitchBlock(channel, switches))
        std::printf("  %-20s 0x%02X\n", "USB class switch", switches.UsbClassSwitch());
}

void WaitForReturn(sim::PrinterWorld& world, const sim::TavPrinterFirmware& printer) {
    const uint64_t start = world.clock.Elapsed();
    world.clock.Advance(printer.leaveDelayMs + printer.returnDelayMs);
    std::printf("  (printer left and came back: %llu virtual ms)\n",
                static_cast<unsigned long long>(world.clock.Elapsed() - start));
}

}  // namespace

void SettingsSection() {
    Heading("Settings protocol: every setting of the simulated printer");
    sim::PrinterWorld world;
    auto printer = sim::AddTavPrinter(world);
    PrinterLink link;
    PrintAllSettings(world, link);

    std::printf(
        "-- apply: Not receive, Manual iSerialNumber \"DEMO-01\", Virtual Serial Port Driver\n");
    printer->ClearReceived();
    LinkChannel channel(world.platform, link);
    SettingsBlock settings;
    // The demo shows the bytes each request wrote, whatever the printer made of them.
    static_cast<void>(ReadSettingsBlock(channel, settings));
    static_cast<void>(
        SetPrinterResponse(channel, WithPrinterResponse(settings.ResponseSwitch(), false)));
    WaitForReturn(world, *printer);
    static_cast<void>(SetUsbSerial(channel, SerialModeManual, "DEMO-01", 7));
    WaitForReturn(world, *printer);
    SwitchBlock switches;
    if (ReadSwitchBlock(channel, switches))
        static_cast<void>(
            SetUsbClass(channel, WithUsbClassForMode(switches.UsbClassSwitch(), link.bSerialMode)));
    WaitForReturn(world, *printer);
    std::printf("  requests written:\n");
    for (const auto& bytes : printer->Writes())
        std::printf("    %s\n", Hex(bytes).c_str());

    std::printf("-- read again\n");
    PrintAllSettings(world, link);
}

}  // namespace tav::demo
