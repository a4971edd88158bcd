#include "tools/demo_sim/sim_printer_machine.h"

#include <cstdio>

#include "printer/settings/pnp_refresh.h"
#include "shared/u16.h"
#include "sim/firmware/tav_printer_world.h"
#include "sim/printer/printer_world.h"
#include "tools/demo_sim/paced_clock.h"
#include "tools/demo_sim/recording_device_io.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

bool IsServiceCall(const std::string& entry) {
    for (const char* call : {"StartServiceW", "ControlService"}) {
        if (entry.rfind(call, 0) == 0)
            return true;
    }
    return false;
}

std::string HexByte(uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace

// The driver package is installed; the PnP refresh is the utility's own, over the world's
// SetupAPI and configuration manager.
class SimDriverTypeServices : public DriverTypeServices {
  public:
    SimDriverTypeServices(Timeline& timeline, sim::PrinterWorld& world, Clock& clock)
        : m_timeline(timeline), m_world(world), m_clock(clock) {}

    bool IsPortDriverAvailable() override {
        m_timeline.Note("devices", "virtual serial port driver installed: yes");
        return true;
    }

    void RefreshPnpDevices() override {
        const size_t before = m_world.pnp.reenumerated.size();
        tav::setup::RefreshPnpDevices(m_world.setup, m_world.pnp, m_clock);
        m_timeline.Note("devices",
                        "PnP refresh: " + std::to_string(m_world.pnp.reenumerated.size() - before) +
                            " device nodes walked again");
    }

  private:
    Timeline& m_timeline;
    sim::PrinterWorld& m_world;
    Clock& m_clock;
};

struct SimPrinterMachine::World {
    explicit World(Timeline& timelineIn)
        : timeline(timelineIn),
          printer(sim::AddTavPrinter(world)),
          clock(world.clock),
          io(world.io, timeline, [this] { clock.WaitForRealTime(); }),
          platform{clock, io, world.setup, world.services, world.spooler},
          driverType(timeline, world, clock) {}

    Timeline& timeline;
    sim::PrinterWorld world;
    std::shared_ptr<sim::TavPrinterFirmware> printer;
    PacedClock clock;
    RecordingDeviceIo io;
    PrinterPlatform platform;
    SimDriverTypeServices driverType;
};

SimPrinterMachine::SimPrinterMachine(Timeline& timeline)
    : m_world(std::make_unique<World>(timeline)) {
    timeline.Note("printer", "plugged in, printer-driver mode: " +
                                 ToUtf8(m_world->printer->Identity().printerPath));
}

SimPrinterMachine::~SimPrinterMachine() = default;

PrinterPlatform& SimPrinterMachine::Platform() {
    return m_world->platform;
}

DriverTypeServices& SimPrinterMachine::DriverType() {
    return m_world->driverType;
}

void SimPrinterMachine::KeepPace() {
    m_world->clock.KeepPace();
}

void SimPrinterMachine::OnDeviceNodesChanged(std::function<void()> listener) {
    m_world->world.tree.OnChange(std::move(listener));
}

void SimPrinterMachine::NoteServiceCalls() {
    for (const std::string& entry : m_world->world.trace.log.Entries()) {
        if (IsServiceCall(entry))
            m_world->timeline.Note("services", entry);
    }
}

void SimPrinterMachine::NotePrinterState() {
    Timeline& timeline = m_world->timeline;
    const sim::TavPrinterFirmware& printer = *m_world->printer;
    const bool printerClass = printer.InPrinterClass();
    timeline.Note("printer", std::string("driver type: ") +
                                 (printerClass ? "Printer Driver" : "Virtual Serial Port Driver"));
    timeline.Note("printer", "response switch: " + HexByte(printer.ResponseSwitch()));
    timeline.Note("printer", "iSerialNumber: \"" + printer.UsbSerial() + "\"");
    const auto& identity = printer.Identity();
    timeline.Note("printer", "device: " + ToUtf8(identity.instanceId));
    timeline.Note("printer", "interface: " + ToUtf8(printerClass ? identity.printerPath
                                                                 : identity.printerClassPath));
}

}  // namespace tav::demo
