// Demo: the main window's detection cycle in the simulated world. A printer is plugged in,
// resets during a page's change and comes back, then leaves for good; the pages are told
// only what the watch window lets through.

#include <cstdio>
#include <memory>

#include "sim/printer/device_id_firmware.h"
#include "sim/printer/printer_world.h"
#include "sim/shell/sim_main_window.h"
#include "tavsetup/shell/link_adapters.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {
using namespace tav::setup;

namespace {

const char* StatusText(uint32_t status) {
    switch (status) {
        case 0:
            return "printer ready: the pages read its settings";
        case 102:
            return "Multiple printers cannot be connected at a time.";
        case 113:
            return "Printer is undetected!!";
        case 125:
            return "Communication error occurred!!";
        default:
            return "?";
    }
}

// Prints the statuses posted since the last call, one line per status (not per page);
// one plug-in broadcasts several device changes, so repeats are counted, not repeated.
void PrintNewStatuses(const sim::SimMainWindow& window, size_t& shown) {
    const sim::PostedStatus* last = nullptr;
    int repeats = 0;
    const auto flush = [&] {
        if (last)
            std::printf("  t=%5llu ms  pages told %3u  %s%s\n",
                        static_cast<unsigned long long>(last->at), last->status,
                        StatusText(last->status), repeats > 0 ? "  (again on later changes)" : "");
    };
    for (; shown < window.posted.size(); ++shown) {
        const auto& posted = window.posted[shown];
        if (posted.page != Page::SerId)
            continue;
        if (last && last->status == posted.status) {
            ++repeats;
            continue;
        }
        flush();
        last = &posted;
        repeats = 0;
    }
    flush();
}

}  // namespace

void ShellSection() {
    Heading("Utility shell: the main window's detection cycle (virtual time)");
    sim::PrinterWorld world;
    PrinterLink link;
    g_pPrinterLink = &link;
    LinkDetector detector(world.platform);
    sim::SimMainWindow window(detector, &world.clock);
    world.tree.OnChange([&] { window.DeviceNodesChanged(); });
    size_t shown = 0;

    std::printf("The window opens with no printer attached:\n");
    window.Start();
    PrintNewStatuses(window, shown);

    std::printf("A printer is plugged in:\n");
    sim::PrinterPlug plug;
    const sim::SimPrinter printer =
        world.AddPrinter(plug, std::make_shared<sim::DeviceIdFirmware>());
    window.RunFor(10);
    PrintNewStatuses(window, shown);

    std::printf("A page applies a change; the printer resets and is back after 2 s:\n");
    window.Post(WM_BEGIN_WATCH);
    window.RunFor(200);
    world.tree.SetDevicePresent(printer.deviceId, false);
    window.RunFor(2000);
    world.tree.SetDevicePresent(printer.deviceId, true);
    window.RunFor(6000);
    PrintNewStatuses(window, shown);
    std::printf("  (no \"undetected\" while it was away)\n");

    std::printf("Another change, and this time the printer does not come back:\n");
    window.Post(WM_BEGIN_WATCH);
    window.RunFor(200);
    world.tree.SetDevicePresent(printer.deviceId, false);
    window.RunFor(6000);
    PrintNewStatuses(window, shown);
    std::printf("  (told once the 5 s watch window had passed)\n");
    g_pPrinterLink = nullptr;
}

}  // namespace tav::demo
