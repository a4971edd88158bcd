// The transport's own cost per transaction against a device that answers at once, and a
// discovery over 127 interfaces in each class. Each has a _SimOnly partner that makes the same
// device and SetupAPI calls without the product (bench/support/sim_only.h).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "bench/support/sim_only.h"
#include "printer/link/printer_link.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/printer/printer_world.h"

namespace tav {
using namespace tav::setup;
namespace {

constexpr char kDeviceId[] = "MFG:TAV;MDL:HX-P100;CMD:ESCPOS;";
constexpr uint32_t kPerClass = 127;

// A device with no bookkeeping: every operation completes at once with a fixed reply, so
// what is measured is the transport itself.
class InstantDeviceIo : public DeviceIo {
  public:
    Handle OpenDevice(const std::u16string&, const DeviceOpenMode&) override { return 1; }
    int CloseHandle(Handle) override { return 1; }
    int DeviceIoControl(Handle, uint32_t, const void*, uint32_t, void* out, uint32_t outSize,
                        uint32_t* pCount, Overlapped&) override {
        const uint32_t n = std::min<uint32_t>(outSize, sizeof kDeviceId - 1);
        std::memcpy(out, kDeviceId, n);
        *pCount = n;
        return 1;
    }
    int WriteFile(Handle, const void*, uint32_t size, uint32_t* pCount, Overlapped&) override {
        *pCount = size;
        return 1;
    }
    int ReadFile(Handle, void*, uint32_t size, uint32_t* pCount, Overlapped&) override {
        *pCount = size;
        return 1;
    }
    int CancelIo(Handle) override { return 1; }
    int GetOverlappedResult(Handle, Overlapped&, uint32_t*, int) override { return 1; }
    Handle CreateAutoResetEvent() override { return 2; }
    int ResetEvent(Handle) override { return 1; }
    uint32_t WaitForMultipleObjects(uint32_t, const Handle*, int, uint32_t) override {
        return win::kWaitObject0;
    }
};

void BM_TransactOverInstantDevice(benchmark::State& state) {
    sim::PrinterWorld world;
    InstantDeviceIo io;
    PrinterPlatform platform{world.clock, io, world.setup, world.services, world.spooler};
    PrinterLink link;
    link.pszDevicePath = u"\\\\?\\USB#VID_1B7E&PID_0101#B#{x}";
    char reply[256];
    for (auto _ : state) {
        uint32_t count = 0;
        benchmark::DoNotOptimize(PrinterTransact(platform, link, win::kIoctlUsbprintGet1284Id,
                                                 nullptr, 0, reply, sizeof reply, &count, 500));
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_TransactOverInstantDevice);

// One transaction's platform calls for a device that answers the IOCTL at once, in the
// transaction's order.
void TransactCalls(PrinterPlatform& sys, const std::u16string& path, char* reply, uint32_t size) {
    static_cast<void>(sys.clock.TickCount());
    const Handle device = sys.io.OpenDevice(
        path, {kGenericRead | kGenericWrite, kFileShareRead, kFileFlagOverlapped});
    Overlapped ov;
    ov.hEvent = sys.io.CreateAutoResetEvent();
    sys.io.ResetEvent(ov.hEvent);
    uint32_t count = 0;
    benchmark::DoNotOptimize(sys.io.DeviceIoControl(device, win::kIoctlUsbprintGet1284Id, nullptr,
                                                    0, reply, size, &count, ov));
    sys.io.CloseHandle(ov.hEvent);
    static_cast<void>(sys.clock.TickCount());
    sys.io.CloseHandle(device);
}

void BM_TransactOverInstantDevice_SimOnly(benchmark::State& state) {
    sim::PrinterWorld world;
    InstantDeviceIo io;
    PrinterPlatform platform{world.clock, io, world.setup, world.services, world.spooler};
    const std::u16string path = u"\\\\?\\USB#VID_1B7E&PID_0101#B#{x}";
    char reply[256];
    for (auto _ : state)
        TransactCalls(platform, path, reply, sizeof reply);
}
BENCHMARK(BM_TransactOverInstantDevice_SimOnly);

// The same over the simulated device I/O (handles, events, firmware, call trace).
void BM_TransactOverSimulatedDevice(benchmark::State& state) {
    sim::PrinterWorld world;
    const auto printer =
        world.AddPrinter(sim::PrinterPlug{}, std::make_shared<sim::DeviceIdFirmware>());
    PrinterLink link;
    link.pszDevicePath = printer.path;
    char reply[256];
    size_t done = 0;
    for (auto _ : state) {
        uint32_t count = 0;
        benchmark::DoNotOptimize(PrinterTransact(world.platform, link, win::kIoctlUsbprintGet1284Id,
                                                 nullptr, 0, reply, sizeof reply, &count, 500));
        if (++done % 1024 == 0)
            world.trace.log.Clear();  // keep the trace from growing without end
    }
}
BENCHMARK(BM_TransactOverSimulatedDevice);

void BM_TransactOverSimulatedDevice_SimOnly(benchmark::State& state) {
    sim::PrinterWorld world;
    const auto printer =
        world.AddPrinter(sim::PrinterPlug{}, std::make_shared<sim::DeviceIdFirmware>());
    char reply[256];
    world.trace.log.Clear();
    PrinterLink link;
    link.pszDevicePath = printer.path;
    uint32_t count = 0;
    static_cast<void>(PrinterTransact(world.platform, link, win::kIoctlUsbprintGet1284Id, nullptr,
                                      0, reply, sizeof reply, &count, 500));
    const auto product = world.trace.log.Entries();
    world.trace.log.Clear();
    TransactCalls(world.platform, printer.path, reply, sizeof reply);
    if (!bench::SameCalls(state, product, world.trace.log.Entries()))
        return;
    size_t done = 0;
    for (auto _ : state) {
        TransactCalls(world.platform, printer.path, reply, sizeof reply);
        if (++done % 1024 == 0)
            world.trace.log.Clear();
    }
}
BENCHMARK(BM_TransactOverSimulatedDevice_SimOnly);

void AddPrintersInEachMode(sim::PrinterWorld& world) {
    for (uint32_t i = 0; i < kPerClass; ++i) {
        sim::PrinterPlug usb;
        usb.serial = u"U" + FromUtf8(std::to_string(i));
        world.AddPrinter(usb, nullptr);
        sim::PrinterPlug serial;
        serial.serial = u"S" + FromUtf8(std::to_string(i));
        serial.mode = sim::PrinterMode::VirtualSerial;
        world.AddPrinter(serial, nullptr);
    }
}

void BM_DiscoveryOver127InterfacesPerClass(benchmark::State& state) {
    sim::PrinterWorld world;
    AddPrintersInEachMode(world);
    PrinterLink link;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DiscoverPrinter(world.platform, link));
        world.trace.log.Clear();
    }
    state.counters["found"] = static_cast<double>(DiscoverPrinter(world.platform, link));
}
BENCHMARK(BM_DiscoveryOver127InterfacesPerClass)->Unit(benchmark::kMicrosecond);

// The discovery's SetupAPI calls: the present printing-class interfaces, then the COM port
// ones (which end it), each path read into one buffer; the product's own buffer is its own.
void DiscoveryCalls(DeviceSetup& setup, std::vector<uint8_t>& detail) {
    for (const Guid& interfaceClass : {kGuidDevinterfaceUsbprint, kGuidDevinterfaceComport}) {
        const Handle set =
            setup.GetClassDevs(interfaceClass, win::kDigcfPresent | win::kDigcfDeviceInterface);
        win::DeviceInterfaceData data;
        for (uint32_t index = 0;
             index < kPerClass && setup.EnumDeviceInterfaces(set, interfaceClass, index, data);
             ++index) {
            uint32_t required = 0;
            setup.GetDeviceInterfaceDetail(set, data, nullptr, 0, &required, nullptr);
            setup.GetDeviceInterfaceDetail(set, data, detail.data(), required, nullptr, nullptr);
        }
        setup.DestroyDeviceInfoList(set);
    }
}

void BM_DiscoveryOver127InterfacesPerClass_SimOnly(benchmark::State& state) {
    sim::PrinterWorld world;
    AddPrintersInEachMode(world);
    std::vector<uint8_t> detail(1024);
    world.trace.log.Clear();
    PrinterLink link;
    static_cast<void>(DiscoverPrinter(world.platform, link));
    const auto product = world.trace.log.Entries();
    world.trace.log.Clear();
    DiscoveryCalls(world.setup, detail);
    if (!bench::SameCalls(state, product, world.trace.log.Entries()))
        return;
    for (auto _ : state) {
        DiscoveryCalls(world.setup, detail);
        world.trace.log.Clear();
    }
}
BENCHMARK(BM_DiscoveryOver127InterfacesPerClass_SimOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav
