// One reconcile pass in the simulated world: at the cap (127 ports, 127 printers) with
// everything already linked, at the cap with every printer to link, and with nothing at
// all to do. The simulated calls log themselves, so figures include that bookkeeping.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "sim/ports/sim_port_world.h"
#include "tavportsvc/core/port_link_core.h"

namespace tav {
using namespace tav::portsvc;
namespace {

constexpr int kCap = 127;

struct World {
    sim::SimTrace trace;
    sim::DeviceTree tree;
    sim::SimPortWorld ports{trace, tree};
    std::unique_ptr<PortLinkCore> core;

    World() {
        ports.InstallInfPackage();
        core = std::make_unique<PortLinkCore>(ports.Platform());
        core->Trace().Start();
        ports.recorder.Enable(5, 1);
    }
    void AddPrinters(bool linked) {
        for (int i = 0; i < kCap; ++i) {
            std::u16string path = ports.AddPrinter(u"SN" + FromNumber(i));
            if (linked)
                ports.AddPort(path);
            else
                ports.AddPort();
        }
    }
    static std::u16string FromNumber(int n) {
        std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }
};

void BM_PassAtCapAllLinked(benchmark::State& state) {
    World world;
    world.AddPrinters(true);
    for (auto _ : state) {
        world.core->ReconcilePorts();
        state.PauseTiming();
        world.trace.log.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassAtCapAllLinked)->Unit(benchmark::kMicrosecond);

void BM_PassAtCapLinkingEveryPrinter(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<World>();
        world->AddPrinters(false);
        state.ResumeTiming();
        world->core->ReconcilePorts();
        state.PauseTiming();
        if (world->ports.Link(world->ports.Ports().back()).value_or(u"").empty())
            state.SkipWithError("last port not linked");
        world.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassAtCapLinkingEveryPrinter)->Unit(benchmark::kMicrosecond);

void BM_PassWithNothingToDo(benchmark::State& state) {
    World world;
    for (auto _ : state) {
        world.core->ReconcilePorts();
        state.PauseTiming();
        world.trace.log.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassWithNothingToDo)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav
