// Demo: the service's port link core in the simulated world. Starts with two printers and
// one free port, shows what the start-up pass links and creates, a device event while the
// setup utility runs, a printer unplugged and back, and the stop, with the Application log
// entries the service writes on the way.

#include <cstdio>
#include <string>

#include "portlink/core/port_link_core.h"
#include "shared/u16.h"
#include "sim/ports/sim_port_world.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {
using namespace tav::portsvc;

namespace {

void PrintPorts(sim::SimPortWorld& world) {
    for (const auto& port : world.Ports()) {
        auto link = world.Link(port);
        std::printf("  %-18s -> %s\n", ToUtf8(port).c_str(),
                    link && !link->empty() ? ToUtf8(*link).c_str() : "(free)");
    }
}

// The Application log as the viewer shows it: time, type, event ID, source, text.
void PrintEventLog(sim::SimPortWorld& world) {
    for (const auto& e : world.eventLog.Entries()) {
        const char* type = e.type == 1 ? "Error" : e.type == 2 ? "Warning" : "Information";
        std::printf("  event log %6u ms  %-11s %u %s: %s\n", e.tick, type, e.id & 0xFFFF,
                    ToUtf8(e.source).c_str(), e.text.c_str());
    }
    world.eventLog.ClearEntries();
}

void PrintEvents(sim::SimPortWorld& world) {
    for (const auto& e : world.recorder.Events()) {
        // The text an administrator reads from a captured trace (the generated .tmf files).
        bool service = e.module == TraceModule::kService;
        std::printf("  trace %s %u: %s\n", service ? "service" : "device ", e.number,
                    e.text.c_str());
    }
    for (const auto& e : world.recorder.Undecodable())
        std::printf("  trace UNDECODABLE %u: %s\n", e.number, e.reason.c_str());
    world.recorder.ClearEvents();
    PrintEventLog(world);
}

// A lane's printer is swapped: the point-of-sale software opens COM5, the new printer gets a
// new port, and the administrator gives it COM5; the service's next pass keeps that.
void SwapLanePrinter(sim::SimPortWorld& world, portsvc::PortLinkCore& core) {
    std::printf("\n--- a lane's printer is swapped (the POS software opens COM5) ---\n");
    std::printf("printer C0003 on COM5 is unplugged for good; printer E0005 arrives:\n");
    world.UnplugPrinter(u"C0003");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    world.AddPrinter(u"E0005");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    PrintEvents(world);
    const char* const list[] = {"list"};
    ShowTavports(world, list, 1);
    std::printf("the administrator gives COM5 to the new printer:\n");
    const char* const assign[] = {"assign", "COM5", "--printer", "E0005", "--yes"};
    ShowTavports(world, assign, 5);
    std::printf("the service's next pass (a device event) keeps COM5 with E0005:\n");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    PrintEvents(world);
    ShowTavports(world, list, 1);
    const char* const prune[] = {"prune", "--what-if"};
    ShowTavports(world, prune, 2);
    const char* const json[] = {"list", "--json"};
    ShowTavports(world, json, 2);
    std::printf("--- end of the swap ---\n\n");
}

}  // namespace

void PortCoreSection() {
    Heading("Port link service core");
    sim::SimTrace trace;
    sim::DeviceTree tree;
    sim::SimPortWorld world(trace, tree);
    world.InstallInfPackage();
    world.AddPort();
    world.AddPrinter(u"A0001");
    world.AddPrinter(u"B0002");
    PortLinkCore core(world.Platform());

    std::printf("start hook (start-up pass, then device notifications):\n");
    win::HResult hr = core.StartHook([] { return win::kSOk; }, 0x1);
    world.recorder.Enable(4, 1);  // a logger attaches once the provider is registered
    std::printf("  start hook result 0x%08X\n", static_cast<uint32_t>(hr));
    PrintPorts(world);

    std::printf("a third printer arrives while the setup utility runs:\n");
    world.sync.SetUtilityMutex(sim::UtilityMutex::kHeld);
    world.AddPrinter(u"C0003");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    PrintEvents(world);
    PrintPorts(world);

    std::printf("the utility exits; the next pass links the third printer:\n");
    world.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    world.clock.Advance(60000);
    core.ReconcilePorts();
    PrintEvents(world);
    PrintPorts(world);

    std::printf("printer A0001 unplugged and plugged back: no link changes\n");
    world.UnplugPrinter(u"A0001");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    world.PlugPrinter(u"A0001");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    PrintEvents(world);
    PrintPorts(world);

    std::printf("an administrator asks which COM port each printer has:\n");
    const char* const list[] = {"list"};
    ShowTavports(world, list, 1);
    const char* const explain[] = {"explain"};
    ShowTavports(world, explain, 1);
    std::printf("printer A0001 leaves for good; its port is unlinked for the next printer:\n");
    world.UnplugPrinter(u"A0001");
    const char* const unlink[] = {"unlink", "COM3", "--yes"};
    ShowTavports(world, unlink, 3);
    world.AddPrinter(u"D0004");
    static_cast<void>(core.OnDeviceEvent());  // always NO_ERROR
    PrintEvents(world);
    ShowTavports(world, list, 1);

    SwapLanePrinter(world, core);

    win::HResult stop = core.StopHook([] { return win::kSOk; });
    uint32_t late = core.OnDeviceEvent();
    std::printf("stop hook result 0x%08X; a device event after it returns %u without a pass\n",
                static_cast<uint32_t>(stop), late);
    PrintEventLog(world);
}

}  // namespace tav::demo
