// Real threads: the start-up pass on the service thread, device-event passes on the
// control handler's thread and the stop hook never overlap, and a device event that
// arrives once the stop hook has begun returns at once instead of waiting for ever.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

// Watches the simulated sync calls: a pass is inside from its mutex probe (the first call
// after it took the lock) until it gives the lock back. Widens the window with a pause.
class OverlapProbe : public SyncApi {
  public:
    explicit OverlapProbe(SyncApi& inner) : m_inner(inner) {}

    std::atomic<int> inside{0};
    std::atomic<int> maxInside{0};
    std::atomic<int> passes{0};

    PlatformHandle CreateUnnamedEvent(bool manualReset, bool initialState) override {
        return m_inner.CreateUnnamedEvent(manualReset, initialState);
    }
    uint32_t WaitForObject(PlatformHandle handle, uint32_t milliseconds) override {
        return m_inner.WaitForObject(handle, milliseconds);
    }
    bool SignalEvent(PlatformHandle handle) override {
        if (t_inPass) {
            t_inPass = false;
            inside.fetch_sub(1);
        }
        return m_inner.SignalEvent(handle);
    }
    PlatformHandle OpenNamedMutex(uint32_t access, bool inherit, const char16_t* name) override {
        t_inPass = true;
        passes.fetch_add(1);
        int now = inside.fetch_add(1) + 1;
        int seen = maxInside.load();
        while (now > seen && !maxInside.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return m_inner.OpenNamedMutex(access, inherit, name);
    }
    bool ReleaseOwnedMutex(PlatformHandle handle) override {
        return m_inner.ReleaseOwnedMutex(handle);
    }
    bool CloseObject(PlatformHandle handle) override { return m_inner.CloseObject(handle); }

  private:
    SyncApi& m_inner;
    static thread_local bool t_inPass;
};
thread_local bool OverlapProbe::t_inPass = false;

// Runs `body`; a deadlock ends the whole test program with a message instead of hanging.
void WithDeadline(std::chrono::seconds limit, const std::function<void()>& body) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, limit, [&] { return done; })) {
            std::fprintf(stderr, "deadlock: the port link core did not finish in time\n");
            std::abort();
        }
    });
    body();
    {
        std::lock_guard<std::mutex> lock(m);
        done = true;
    }
    cv.notify_all();
    watchdog.join();
}

struct ThreadedWorld {
    sim::SimTrace sim;
    sim::DeviceTree tree;
    sim::SimPortWorld world{sim, tree};
    OverlapProbe probe{world.sync};
    std::unique_ptr<PortLinkCore> core;

    ThreadedWorld() {
        world.InstallInfPackage();
        PortLinkPlatform platform = world.Platform();
        platform.sync = &probe;
        core = std::make_unique<PortLinkCore>(platform);
        world.AddPort();
        world.AddPrinter(u"A1");
    }
};

TEST(PortCoreConcurrency, PassesFromBothThreadsNeverOverlap) {
    ThreadedWorld t;
    WithDeadline(std::chrono::seconds(60), [&] {
        std::thread handler([&] {
            for (int i = 0; i < 40; ++i) {
                if (i == 10)
                    t.world.AddPrinter(u"B2");
                EXPECT_EQ(t.core->OnDeviceEvent(), win::kErrorSuccess);
            }
        });
        for (int i = 0; i < 40; ++i)
            t.core->ReconcilePorts();
        handler.join();
    });
    EXPECT_EQ(t.probe.maxInside.load(), 1);
    EXPECT_EQ(t.probe.passes.load(), 80);
    EXPECT_EQ(t.world.Ports().size(), 2u);  // B2 got exactly one new port
    EXPECT_EQ(t.world.registry.OpenHandleCount(), 0u);
}

TEST(PortCoreConcurrency, StartHookThenDeviceEventsThenStopHook) {
    ThreadedWorld t;
    std::atomic<bool> started{false};
    std::atomic<int> passesAtBaseStop{-1};
    std::atomic<int> insideAtBaseStop{-1};
    WithDeadline(std::chrono::seconds(60), [&] {
        std::thread service([&] {
            EXPECT_EQ(t.core->StartHook([] { return win::kSOk; }, 0x77), win::kSOk);
            started = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            EXPECT_EQ(t.core->StopHook([&] {
                passesAtBaseStop = t.probe.passes.load();
                insideAtBaseStop = t.probe.inside.load();
                return win::kSOk;
            }),
                      win::kSOk);
        });
        std::thread handler([&] {
            while (!started)
                std::this_thread::yield();
            for (int i = 0; i < 200; ++i)
                EXPECT_EQ(t.core->OnDeviceEvent(), win::kErrorSuccess);
        });
        service.join();
        handler.join();
    });
    EXPECT_EQ(t.probe.maxInside.load(), 1);
    EXPECT_EQ(insideAtBaseStop.load(), 0);
    // No pass started once the stop hook held the lock.
    EXPECT_EQ(t.probe.passes.load(), passesAtBaseStop.load());
    EXPECT_LT(t.probe.passes.load(), 201);
}

TEST(PortCoreConcurrency, DeviceEventRacingTheStopHookNeverDeadlocks) {
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        ThreadedWorld t;
        std::atomic<int> passesAtBaseStop{-1};
        std::atomic<bool> go{false};
        WithDeadline(std::chrono::seconds(30), [&] {
            std::thread handler([&] {
                while (!go)
                    std::this_thread::yield();
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(t.core->OnDeviceEvent(), win::kErrorSuccess);
            });
            std::thread service([&] {
                while (!go)
                    std::this_thread::yield();
                if (round % 3 == 1)
                    std::this_thread::sleep_for(std::chrono::microseconds(100 * (round % 7)));
                EXPECT_EQ(t.core->StopHook([&] {
                    passesAtBaseStop = t.probe.passes.load();
                    return win::kSOk;
                }),
                          win::kSOk);
            });
            go = true;
            handler.join();
            service.join();
        });
        EXPECT_EQ(t.probe.passes.load(), passesAtBaseStop.load());
        EXPECT_LE(t.probe.maxInside.load(), 1);
        EXPECT_FALSE(t.world.sync.IsEventSignalled(t.core->ReconcileEventHandle()));
    }
}

TEST(SimulatedEvent, SetHandsTheEventToTheWaiterNotToTheNextCaller) {
    sim::SimTrace trace;
    sim::SimSync sync(trace);
    PlatformHandle event = sync.CreateUnnamedEvent(false, false);
    std::atomic<uint32_t> waited{0xDEAD};
    std::thread waiter([&] { waited = sync.WaitForObject(event, win::kInfinite); });
    while (sync.WaitingThreads(event) == 0)
        std::this_thread::yield();
    EXPECT_TRUE(sync.SignalEvent(event));
    EXPECT_EQ(sync.WaitForObject(event, 0), win::kWaitTimeout);
    waiter.join();
    EXPECT_EQ(waited.load(), win::kWaitObject0);
    EXPECT_FALSE(sync.IsEventSignalled(event));
}

}  // namespace
}  // namespace tav::test
