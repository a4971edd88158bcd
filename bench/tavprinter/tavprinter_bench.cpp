// tavprinter's list and show, whole runs of the console on a simulated machine: show of one
// printer, and list over 127 printers (the discovery's cap on one interface class), each in
// printer-driver mode. A run holds the utility's mutex, reads every printer's settings and
// at its end starts the Spooler and restarts the port link service, as the utility's exit
// does. Each has a _SimOnly partner that makes the run's printer-platform calls again from a
// tape, without the product (bench/support/sim_only.h). The tool's own kernel, port side and
// console here answer at once and are no part of the simulated world.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/sim_only.h"
#include "bench/tavprinter/printer_call_tape.h"
#include "shared/tool_exit_codes.h"
#include "shared/u16.h"
#include "sim/firmware/tav_printer_world.h"
#include "tavprinter/tavprinter_app.h"

namespace tav {
namespace {

constexpr int kMostPrinters = 127;
constexpr char kVersion[] = "bench";

class InstantKernel : public tavprinter::ToolKernel {
  public:
    setup::Handle ConvertSddl(const char16_t*, uint32_t) override { return 1; }
    void FreeSecurityDescriptor(setup::Handle) override {}
    setup::Handle CreateNamedMutex(setup::Handle, bool, const char16_t*) override { return 2; }
    uint32_t LastError() override { return 0; }
    bool ReleaseMutex(setup::Handle) override { return true; }
    bool CloseHandle(setup::Handle) override { return true; }
    bool IsAdministrator() override { return true; }
    std::string ErrorText(uint32_t) override { return {}; }
    bool CancelRequested() override { return false; }
    bool JapaneseInterface() override { return false; }
    std::string LocalTimeText() override { return {}; }
};

// Printers in printer-driver mode have no COM port to look up.
class NoPorts : public tavprinter::PortSide {
  public:
    std::optional<std::u16string> LinkedComPort(const std::u16string&) override {
        return std::nullopt;
    }
    bool PortDriverInstalled() override { return true; }
};

class LastOutput : public tavprinter::ToolOutput {
  public:
    void Out(const std::string& utf8) override { out = utf8; }
    void Err(const std::string& utf8) override { err = utf8; }
    bool AppendLog(const std::string&, const std::string&) override { return true; }
    std::string out, err;
};

struct Machine {
    sim::PrinterWorld world;
    InstantKernel kernel;
    NoPorts ports;
    LastOutput output;

    explicit Machine(int printers) {
        for (int i = 1; i <= printers; ++i) {
            char serial[16];
            std::snprintf(serial, sizeof serial, "TV%04d", i);
            sim::PrinterPlug plug;
            plug.serial = FromUtf8(serial);
            sim::AddTavPrinter(world, plug);
        }
        world.trace.log.Clear();
    }

    int Run(const std::vector<std::string>& args, setup::PrinterPlatform& printer,
            setup::PnpManager& pnp) {
        tavprinter::ToolPlatform tool{printer, pnp, kernel, ports, output};
        return tavprinter::RunTavprinter(args, tool, kVersion);
    }
    int Run(const std::vector<std::string>& args) { return Run(args, world.platform, world.pnp); }

    // The printers a list or show printed.
    size_t Shown() const {
        size_t count = 0;
        for (size_t at = output.out.find("USB\\VID_"); at != std::string::npos;
             at = output.out.find("USB\\VID_", at + 1))
            ++count;
        return count;
    }
};

// Runs the console over and over; the simulated world's call log is emptied after each.
void RunConsole(benchmark::State& state, int printers, const std::vector<std::string>& args) {
    Machine machine(printers);
    if (machine.Run(args) != kToolExitOk ||
        machine.Shown() != static_cast<size_t>(args[0] == "list" ? printers : 1)) {
        state.SkipWithError(("the run failed: " + machine.output.err).c_str());
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(machine.Run(args));
        machine.world.trace.log.Clear();
    }
    state.counters["printers"] = static_cast<double>(machine.Shown());
}

// One run of the console through the tape, then the tape's calls over and over, once checked
// against the run's call log.
void ReplayConsole(benchmark::State& state, int printers, const std::vector<std::string>& args) {
    Machine machine(printers);
    bench::PrinterCallTape tape(machine.world.platform, machine.world.pnp);
    if (machine.Run(args, tape.Platform(), tape.Pnp()) != kToolExitOk) {
        state.SkipWithError(("the run failed: " + machine.output.err).c_str());
        return;
    }
    if (tape.Unkept()) {
        state.SkipWithError(("the tape does not keep " + *tape.Unkept()).c_str());
        return;
    }
    const auto product = machine.world.trace.log.Entries();
    machine.world.trace.log.Clear();
    tape.Replay();
    if (!bench::SameCalls(state, product, machine.world.trace.log.Entries()))
        return;
    machine.world.trace.log.Clear();
    for (auto _ : state) {
        tape.Replay();
        machine.world.trace.log.Clear();
    }
    state.counters["calls"] = static_cast<double>(tape.Calls());
}

const std::vector<std::string> kShowOne = {"show", "--printer", "USB\\VID_1B7E&PID_0101\\TV0001"};
const std::vector<std::string> kList = {"list"};

void BM_ShowOnePrinter(benchmark::State& state) {
    RunConsole(state, 1, kShowOne);
}
BENCHMARK(BM_ShowOnePrinter)->Unit(benchmark::kMicrosecond);

void BM_ShowOnePrinter_SimOnly(benchmark::State& state) {
    ReplayConsole(state, 1, kShowOne);
}
BENCHMARK(BM_ShowOnePrinter_SimOnly)->Unit(benchmark::kMicrosecond);

void BM_ListOver127Printers(benchmark::State& state) {
    RunConsole(state, kMostPrinters, kList);
}
BENCHMARK(BM_ListOver127Printers)->Unit(benchmark::kMillisecond);

void BM_ListOver127Printers_SimOnly(benchmark::State& state) {
    ReplayConsole(state, kMostPrinters, kList);
}
BENCHMARK(BM_ListOver127Printers_SimOnly)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tav
