// Demo: tavprinter, the utility's settings from a script, on a simulated machine where the
// port link service runs: the printers listed, a switch to the virtual serial port driver
// that reports the COM port the restarted service links, the same switch again, which finds
// it already so and writes nothing, and the list with the printer's COM port.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "portlink/core/port_link_core.h"
#include "shared/names.h"
#include "shared/win/errors.h"
#include "sim/firmware/tav_printer_world.h"
#include "sim/ports/sim_port_world.h"
#include "sim/tavports/sim_tool_host.h"
#include "tav_version.h"
#include "tavprinter/port_side.h"
#include "tavprinter/tavprinter_app.h"
#include "tools/demo/demo_driver_store.h"
#include "tools/demo/demo_sections.h"

namespace tav::demo {

namespace {

// The utility's named mutex as the service's passes find it, the caller an administrator.
class DemoKernel : public tavprinter::ToolKernel {
  public:
    explicit DemoKernel(sim::SimPortWorld& ports) : m_ports(ports) {}

    setup::Handle ConvertSddl(const char16_t*, uint32_t) override { return 0x5D; }
    void FreeSecurityDescriptor(setup::Handle) override {}
    setup::Handle CreateNamedMutex(setup::Handle, bool initialOwner, const char16_t*) override {
        const bool made = m_ports.sync.UtilityMutexState() == sim::UtilityMutex::kAbsent;
        m_error = made ? 0 : win::kErrorAlreadyExists;
        if (made)
            m_ports.sync.SetUtilityMutex(initialOwner ? sim::UtilityMutex::kHeld
                                                      : sim::UtilityMutex::kFree);
        return 0x3E3E;
    }
    uint32_t LastError() override { return m_error; }
    bool ReleaseMutex(setup::Handle) override {
        m_ports.sync.SetUtilityMutex(sim::UtilityMutex::kFree);
        return true;
    }
    bool CloseHandle(setup::Handle) override {
        m_ports.sync.SetUtilityMutex(sim::UtilityMutex::kAbsent);
        return true;
    }
    bool IsAdministrator() override { return true; }
    std::string ErrorText(uint32_t error) override { return "error " + std::to_string(error); }
    bool CancelRequested() override { return false; }
    bool JapaneseInterface() override { return false; }
    std::string LocalTimeText() override { return "2026-12-09 10:00:00"; }

  private:
    sim::SimPortWorld& m_ports;
    uint32_t m_error = 0;
};

// Both streams to the demo's stdout as they come, so progress lines stay between results.
class DemoConsole : public tavprinter::ToolOutput {
  public:
    void Out(const std::string& utf8) override { std::fputs(utf8.c_str(), stdout); }
    void Err(const std::string& utf8) override { std::fputs(utf8.c_str(), stdout); }
    bool AppendLog(const std::string&, const std::string&) override { return false; }
};

}  // namespace

void TavprinterSection() {
    Heading("tavprinter: the printer's settings from a script");
    sim::PrinterWorld world;
    sim::AddTavPrinter(world);
    sim::SimPortWorld ports(world.trace, world.tree);
    ports.InstallInfPackage();

    // The port link service's process, run and ended by the service control manager.
    std::unique_ptr<portsvc::PortLinkCore> service;
    const auto start = [&] {
        service = std::make_unique<portsvc::PortLinkCore>(ports.Platform());
        static_cast<void>(service->StartHook([] { return win::kSOk; }, 0x5151));
    };
    start();
    world.services.onSettled = [&](const std::u16string& name, uint32_t state) {
        if (name != kServiceName)
            return;
        if (state == win::kServiceRunning && !service) {
            start();
        } else if (state == win::kServiceStopped && service) {
            static_cast<void>(service->StopHook([] { return win::kSOk; }));
            service.reset();
        }
    };

    // tavprinter's own platform, as its main wires it, over the simulated machine.
    portsvc::PortLinkPlatform portPlatform = ports.Platform();
    portsvc::TraceProvider trace(portPlatform.trace);  // the tool emits no service events
    sim::SimToolHost host(world.trace, ports.setupDi, world.tree, ports.sync);
    portlink::ToolContext toolPorts{portsvc::PassContext{portPlatform, trace}, host};
    NoFiles files;
    PortDriverStore store;
    NoDebugOutput debug;
    setup::DriverPackagePlatform package{files, store, debug};
    tavprinter::ReportPortSide portSide(toolPorts, package);
    DemoKernel kernel(ports);
    DemoConsole console;
    tavprinter::ToolPlatform tool{world.platform, world.pnp, kernel, portSide, console};

    const auto run = [&](const std::vector<std::string>& args) {
        std::string line = "> tavprinter";
        for (const auto& a : args)
            line += " " + a;
        std::printf("%s\n", line.c_str());
        const int code = tavprinter::RunTavprinter(args, tool, TAV_VERSION_TEXT);
        std::printf("(exit code %d)\n", code);
    };
    run({"list"});
    run({"set", "--driver-type", "serial"});
    run({"set", "--driver-type", "serial"});
    run({"list"});

    world.services.onSettled = nullptr;
    if (service)
        static_cast<void>(service->StopHook([] { return win::kSOk; }));
}

}  // namespace tav::demo
