// The transport's own cost per transaction against a device that answers at once, and a
// discovery over 127 interfaces in each class.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/printer/printer_world.h"
#include "tavsetup/printer_link/printer_link.h"

namespace tav {
using namespace tav::setup;
namespace {

constexpr char kDeviceId[] = "MFG:TAV;MDL:HX-P100;CMD:ESCPOS;";

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

void BM_DiscoveryOver127InterfacesPerClass(benchmark::State& state) {
    sim::PrinterWorld world;
    for (int i = 0; i < 127; ++i) {
        sim::PrinterPlug usb;
        usb.serial = u"U" + FromUtf8(std::to_string(i));
        world.AddPrinter(usb, nullptr);
        sim::PrinterPlug serial;
        serial.serial = u"S" + FromUtf8(std::to_string(i));
        serial.mode = sim::PrinterMode::VirtualSerial;
        world.AddPrinter(serial, nullptr);
    }
    PrinterLink link;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DiscoverPrinter(world.platform, link));
        world.trace.log.Clear();
    }
    state.counters["found"] = static_cast<double>(DiscoverPrinter(world.platform, link));
}
BENCHMARK(BM_DiscoveryOver127InterfacesPerClass)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav
