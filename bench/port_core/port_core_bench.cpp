// One reconcile pass in the simulated world: at the cap (127 ports, 127 printers) with
// everything already linked, at the cap with every printer to link, and with nothing at
// all to do. The simulated calls log themselves, so figures include that bookkeeping; each
// pass has a _SimOnly partner that makes the pass's simulated calls without the core
// (bench/support/sim_only.h).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/support/sim_only.h"
#include "portlink/core/port_link_core.h"
#include "portlink/core/port_link_value.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/files.h"
#include "shared/win/handles.h"
#include "shared/win/registry.h"
#include "shared/win/setup_api.h"
#include "sim/ports/sim_port_world.h"

namespace tav {
using namespace tav::portsvc;
namespace {

constexpr int kCap = 127;

// A trace back end that keeps each message it passes on, so that a baseline can send the
// pass's messages again.
class MessageTape : public TraceBackEnd {
  public:
    explicit MessageTape(TraceBackEnd& inner) : m_inner(inner) {}

    uint32_t RegisterProvider(const Guid& controlGuid, TraceControlRecord* record,
                              uint64_t* registration) override {
        return m_inner.RegisterProvider(controlGuid, record, registration);
    }
    uint32_t Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                     uint16_t number, uint8_t level, const TraceArg* args, size_t count) override {
        Kept kept{logger, messageFlags, messageGuid, number, level, {}, {}};
        for (size_t i = 0; i < count; ++i) {
            const auto* bytes = static_cast<const uint8_t*>(args[i].data);
            kept.bytes.emplace_back(bytes, bytes + args[i].size);
        }
        for (const auto& b : kept.bytes)
            kept.args.push_back(TraceArg{b.data(), static_cast<uint32_t>(b.size())});
        m_kept.push_back(std::move(kept));
        return m_inner.Message(logger, messageFlags, messageGuid, number, level, args, count);
    }
    uint32_t UnregisterProvider(uint64_t registration) override {
        return m_inner.UnregisterProvider(registration);
    }

    // Sends message n again.
    void Send(size_t n, TraceBackEnd& to) const {
        const Kept& k = m_kept.at(n);
        static_cast<void>(
            to.Message(k.logger, k.flags, k.guid, k.number, k.level, k.args.data(), k.args.size()));
    }

  private:
    struct Kept {
        uint64_t logger;
        uint32_t flags;
        Guid guid;
        uint16_t number;
        uint8_t level;
        std::vector<std::vector<uint8_t>> bytes;
        std::vector<TraceArg> args;  // into bytes
    };
    TraceBackEnd& m_inner;
    std::vector<Kept> m_kept;
};

struct World {
    sim::SimTrace trace;
    sim::DeviceTree tree;
    sim::SimPortWorld ports{trace, tree};
    std::unique_ptr<MessageTape> tape;
    std::unique_ptr<PortLinkCore> core;

    // With `taped`, the core's trace messages are kept on `tape` too.
    explicit World(bool taped = false) {
        ports.InstallInfPackage();
        PortLinkPlatform platform = ports.Platform();
        if (taped) {
            tape = std::make_unique<MessageTape>(ports.recorder);
            platform.trace = tape.get();
        }
        core = std::make_unique<PortLinkCore>(platform);
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
    // What a pass leaves behind besides its calls: the ports' links and the trace events.
    std::vector<std::string> Outcome() const {
        std::vector<std::string> out;
        for (const auto& port : ports.Ports())
            out.push_back(ToUtf8(port + u" " + ports.Link(port).value_or(u"-")));
        for (const auto& event : ports.recorder.Events())
            out.push_back(event.text);
        return out;
    }
};

// One interface walk's calls: the set, each interface's path (up to the cap, as the pass
// walks), the set destroyed.
template <typename Visit>
void Walk(SetupDiApi& api, const Guid& interfaceClass, uint32_t flags, Visit visit) {
    const PlatformHandle set = api.GetClassDevs(interfaceClass, flags);
    win::DeviceInterfaceData data;
    for (uint32_t index = 0;
         index < kCap && api.EnumDeviceInterfaces(set, interfaceClass, index, &data); ++index) {
        std::u16string path;
        static_cast<void>(
            api.GetInterfacePath(set, data, api.GetInterfaceDetailSize(set, data), &path));
        visit(set, data, std::move(path));
    }
    api.DestroyDeviceInfoList(set);
}

// One pass's platform calls in the pass's order, without its decisions: the program files
// folder, the reconcile lock, the utility's mutex (not there), every port's link read with
// its key open to the end, the attached printers' paths; with a tape, printer i's trace
// message and its link written to port i.
void PassCalls(const PortLinkPlatform& p, PlatformHandle lock, const MessageTape* tape) {
    char16_t folder[win::kMaxPath + 1] = {};
    static_cast<void>(p.shell->GetProgramFilesX86(folder));
    static_cast<void>(p.sync->WaitForObject(lock, win::kInfinite));
    static_cast<void>(p.sync->OpenNamedMutex(win::kSynchronize, false, kSetupMutexName));
    std::vector<PlatformHandle> portKeys;
    portKeys.reserve(kCap);
    Walk(*p.setupDi, kGuidDevinterfaceComport, win::kDigcfDeviceInterface,
         [&](PlatformHandle set, const win::DeviceInterfaceData& data, std::u16string) {
             win::DevInfoData devInfo;
             static_cast<void>(p.setupDi->GetInterfaceDevInfo(set, data, &devInfo));
             const PlatformHandle key = p.setupDi->OpenDevRegKey(set, devInfo, win::kDicsFlagGlobal,
                                                                 0, win::kDiregDev, kPortKeyAccess);
             char16_t link[kLinkBufferUnits];
             uint32_t size = kLinkReadLimitBytes;
             static_cast<void>(p.registry->GetValue(key, kLinkSubKey, kLinkValueName,
                                                    win::kRrfRtRegSz, nullptr, link, &size));
             portKeys.push_back(key);
         });
    std::vector<std::u16string> printers;
    printers.reserve(kCap);
    Walk(*p.setupDi, kPrinterInterfaceClass, win::kDigcfDeviceInterface | win::kDigcfPresent,
         [&](PlatformHandle, const win::DeviceInterfaceData&, std::u16string path) {
             printers.push_back(std::move(path));
         });
    for (size_t i = 0; tape && i < printers.size(); ++i) {
        tape->Send(i, *p.trace);
        PlatformHandle created = win::kNoHandle;
        static_cast<void>(p.registry->CreateKey(portKeys[i], kLinkSubKey,
                                                win::kRegOptionNonVolatile, kLinkKeyAccess, created,
                                                nullptr));
        const auto bytes = static_cast<uint32_t>((printers[i].size() + 1) * sizeof(char16_t));
        static_cast<void>(
            p.registry->SetValue(created, kLinkValueName, win::kRegSz, printers[i].c_str(), bytes));
        p.registry->CloseKey(created);
    }
    for (PlatformHandle key : portKeys)
        p.registry->CloseKey(key);
    p.sync->SignalEvent(lock);
}

// A world's own reconcile lock for the baseline, which has no core to hold one.
PlatformHandle BaselineLock(World& world) {
    return world.ports.sync.CreateUnnamedEvent(false, true);
}

// Whether the baseline's calls on `world` are the product's pass on the same world; the
// baseline is skipped when not.
bool SameAsPass(benchmark::State& state, World& world, PlatformHandle lock) {
    const PortLinkPlatform platform = world.ports.Platform();
    world.trace.log.Clear();
    world.core->ReconcilePorts();
    const auto product = world.trace.log.Entries();
    world.trace.log.Clear();
    PassCalls(platform, lock, nullptr);
    return bench::SameCalls(state, product, world.trace.log.Entries());
}

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

void BM_PassAtCapAllLinked_SimOnly(benchmark::State& state) {
    World world;
    world.AddPrinters(true);
    const PlatformHandle lock = BaselineLock(world);
    if (!SameAsPass(state, world, lock))
        return;
    const PortLinkPlatform platform = world.ports.Platform();
    for (auto _ : state) {
        PassCalls(platform, lock, nullptr);
        state.PauseTiming();
        world.trace.log.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassAtCapAllLinked_SimOnly)->Unit(benchmark::kMicrosecond);

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

void BM_PassAtCapLinkingEveryPrinter_SimOnly(benchmark::State& state) {
    // The pass on one world keeps its trace messages; the baseline on a twin world must make
    // the same calls and leave the same links and events.
    World product(true);
    product.AddPrinters(false);
    product.trace.log.Clear();
    product.core->ReconcilePorts();
    {
        World twin;
        twin.AddPrinters(false);
        const PlatformHandle lock = BaselineLock(twin);
        twin.trace.log.Clear();
        PassCalls(twin.ports.Platform(), lock, product.tape.get());
        if (!bench::SameCalls(state, product.trace.log.Entries(), twin.trace.log.Entries()) ||
            !bench::SameCalls(state, product.Outcome(), twin.Outcome()))
            return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto world = std::make_unique<World>();
        world->AddPrinters(false);
        const PortLinkPlatform platform = world->ports.Platform();
        const PlatformHandle lock = BaselineLock(*world);
        state.ResumeTiming();
        PassCalls(platform, lock, product.tape.get());
        state.PauseTiming();
        world.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassAtCapLinkingEveryPrinter_SimOnly)->Unit(benchmark::kMicrosecond);

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

void BM_PassWithNothingToDo_SimOnly(benchmark::State& state) {
    World world;
    const PlatformHandle lock = BaselineLock(world);
    if (!SameAsPass(state, world, lock))
        return;
    const PortLinkPlatform platform = world.ports.Platform();
    for (auto _ : state) {
        PassCalls(platform, lock, nullptr);
        state.PauseTiming();
        world.trace.log.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PassWithNothingToDo_SimOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tav
