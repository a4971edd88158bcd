// Memory running out inside a pass: the interface or printer at hand is left out, the pass
// goes on, and whatever happens the pass gives back its lock and every key, so the next
// pass and the stop hook still run.

#include <gtest/gtest.h>

#include <new>

#include "tests/port_core/port_core_fixture.h"

namespace tav::test {
using namespace tav::portsvc;
namespace {

// The simulated registry, with one call that runs out of memory instead of answering.
class RegistryOutOfMemoryOnce : public RegistryApi {
  public:
    explicit RegistryOutOfMemoryOnce(RegistryApi& real) : m_real(real) {}

    // The nth (from 0) call of GetValue or CreateKey throws std::bad_alloc.
    void FailGetValue(int nth) { m_getValueFailsAt = nth; }
    void FailCreateKey(int nth) { m_createKeyFailsAt = nth; }

    uint32_t GetValue(PlatformHandle key, const std::u16string& subKey,
                      const std::u16string& valueName, uint32_t flags, uint32_t* type, void* data,
                      uint32_t* dataSize) override {
        ThrowOnTurn(m_getValueFailsAt);
        return m_real.GetValue(key, subKey, valueName, flags, type, data, dataSize);
    }
    uint32_t CreateKey(PlatformHandle key, const std::u16string& subKey, uint32_t options,
                       uint32_t access, PlatformHandle& result, uint32_t* disposition) override {
        ThrowOnTurn(m_createKeyFailsAt);
        return m_real.CreateKey(key, subKey, options, access, result, disposition);
    }
    uint32_t OpenKey(PlatformHandle key, const std::u16string& subKey, uint32_t access,
                     PlatformHandle& result) override {
        return m_real.OpenKey(key, subKey, access, result);
    }
    uint32_t SetValue(PlatformHandle key, const std::u16string& valueName, uint32_t type,
                      const void* data, uint32_t dataSize) override {
        return m_real.SetValue(key, valueName, type, data, dataSize);
    }
    uint32_t DeleteValue(PlatformHandle key, const std::u16string& valueName) override {
        return m_real.DeleteValue(key, valueName);
    }
    uint32_t DeleteKey(PlatformHandle key, const std::u16string& subKey) override {
        return m_real.DeleteKey(key, subKey);
    }
    uint32_t CountSubkeys(PlatformHandle key, uint32_t& count) override {
        return m_real.CountSubkeys(key, count);
    }
    uint32_t CloseKey(PlatformHandle key) override { return m_real.CloseKey(key); }

  private:
    static void ThrowOnTurn(int& turnsLeft) {
        if (turnsLeft-- == 0)
            throw std::bad_alloc();
    }

    RegistryApi& m_real;
    int m_getValueFailsAt = -1;
    int m_createKeyFailsAt = -1;
};

class AllocationFailureTest : public PortCoreTest {
  protected:
    AllocationFailureTest() : failing(world.registry) {
        PortLinkPlatform platform = world.Platform();
        platform.registry = &failing;
        core = std::make_unique<PortLinkCore>(platform);
        EnableTracing();
    }

    // The stop hook takes the lock for good: it returns only if the pass gave it back.
    void ExpectServiceCanStop() {
        EXPECT_EQ(core->StopHook([] { return win::kSOk; }), win::kSOk);
        EXPECT_FALSE(world.sync.IsEventSignalled(core->ReconcileEventHandle()));
    }

    RegistryOutOfMemoryOnce failing;
};

TEST_F(AllocationFailureTest, PortWhoseLinkCannotBeReadForWantOfMemoryIsLeftOut) {
    const std::u16string unread = world.AddPort();
    const std::u16string free = world.AddPort();
    const std::u16string printer = world.AddPrinter(u"A1");
    failing.FailGetValue(0);

    Pass();

    EXPECT_FALSE(world.Link(unread));
    EXPECT_EQ(world.Link(free), printer);
    ExpectPassCleanedUp();
    ExpectServiceCanStop();
}

TEST_F(AllocationFailureTest, PrinterWhoseLinkCannotBeWrittenIsLeftOutAndTheNextIsLinked) {
    const std::u16string firstPort = world.AddPort();
    const std::u16string secondPort = world.AddPort();
    const std::u16string left = world.AddPrinter(u"A1");
    const std::u16string linked = world.AddPrinter(u"B2");
    failing.FailCreateKey(0);

    Pass();

    // The first printer's port stayed free and went to the second printer.
    EXPECT_EQ(world.Link(firstPort), linked);
    EXPECT_FALSE(world.Link(secondPort));
    EXPECT_EQ(sim.log.Count("SetupDiCreateDeviceInfoList"), 0u);  // no port made for it
    ExpectPassCleanedUp();

    Pass();
    EXPECT_EQ(world.Link(secondPort), left);
    ExpectPassCleanedUp();
    ExpectServiceCanStop();
}

}  // namespace
}  // namespace tav::test
