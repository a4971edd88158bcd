// tav_demo_road_link: the port link service's start-up pass after the utility's road in real
// windows. Reads the timeline that tavsetup_sim.exe left (the printer's final mode, device
// and interface, and whether the exit sequence restarted the service), puts that printer
// beside one free port in the service's simulated world, runs the start-up pass and prints
// the link it writes.
//   tav_demo_road_link <timeline file>

#include <cstdio>
#include <fstream>
#include <string>

#include "portlink/core/port_link_core.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "sim/ports/sim_port_world.h"

namespace {

struct RoadEnd {
    std::string driverType;
    std::string device;
    std::string interfacePath;
    bool serviceRestarted = false;
};

// The text behind `key` on a timeline line, or empty.
std::string After(const std::string& line, const std::string& key) {
    const size_t at = line.find(key);
    return at == std::string::npos ? std::string() : line.substr(at + key.size());
}

RoadEnd ReadRoadEnd(std::ifstream& timeline) {
    RoadEnd end;
    std::string line;
    while (std::getline(timeline, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (auto text = After(line, "driver type: "); !text.empty())
            end.driverType = text;
        if (auto text = After(line, "device: "); !text.empty())
            end.device = text;
        if (auto text = After(line, "interface: "); !text.empty())
            end.interfacePath = text;
        if (line.find("StartServiceW Tavportsvc") != std::string::npos)
            end.serviceRestarted = true;
    }
    return end;
}

void PrintPorts(tav::sim::SimPortWorld& world) {
    for (const auto& port : world.Ports()) {
        const auto link = world.Link(port);
        std::printf("  %-18s -> %s\n", tav::ToUtf8(port).c_str(),
                    link && !link->empty() ? tav::ToUtf8(*link).c_str() : "(free)");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tav_demo_road_link <timeline file>\n");
        return 2;
    }
    std::ifstream timeline(argv[1]);
    const RoadEnd end = ReadRoadEnd(timeline);
    std::printf("the utility left the printer as \"%s\"; service restarted at exit: %s\n",
                end.driverType.c_str(), end.serviceRestarted ? "yes" : "no");
    if (end.driverType != "Virtual Serial Port Driver" || end.device.empty() ||
        !end.serviceRestarted) {
        std::printf("nothing for the port link service to link\n");
        return end.driverType.empty() ? 1 : 0;
    }
    tav::sim::SimTrace trace;
    tav::sim::DeviceTree tree;
    tav::sim::SimPortWorld world(trace, tree);
    world.InstallInfPackage();
    world.AddPort();
    tav::sim::SimDevice printer;
    printer.instanceId = tav::FromUtf8(end.device);
    printer.setupClass = u"Ports";
    tree.AddDevice(printer);
    tree.AddInterface(tav::kPrinterInterfaceClass, tav::FromUtf8(end.interfacePath),
                      printer.instanceId, true);
    std::printf("before the start-up pass:\n");
    PrintPorts(world);
    tav::portsvc::PortLinkCore core(world.Platform());
    // The link read back below tells whether the start-up pass did its work.
    static_cast<void>(core.StartHook([] { return tav::win::kSOk; }, 0x1));
    std::printf("after the start-up pass of the restarted service:\n");
    PrintPorts(world);
    static_cast<void>(core.StopHook([] { return tav::win::kSOk; }));  // its base steps cannot fail
    const auto link = world.Link(world.Ports().front());
    return link && *link == tav::FromUtf8(end.interfacePath) ? 0 : 1;
}
