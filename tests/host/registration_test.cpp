#include <gtest/gtest.h>

#include <ostream>

#include "shared/u16.h"
#include "tests/host/host_test_support.h"

namespace tav::portsvc::host {
namespace {

const std::u16string kAppIdKey = u"AppID\\{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}";
const std::u16string kExeKey = u"AppID\\Tavportsvc.EXE";
constexpr uint32_t kEFailCode = 0x80004005u;

class RegistrationTest : public ::testing::Test {
  protected:
    uint32_t Run(const std::u16string& switches) {
        return module.ProcessMain(std::u16string(sim::kSimServiceExePath) + u" " + switches);
    }
    bool ScriptEntriesPresent() {
        return world.registry.Value(win::kHkeyClassesRoot, kAppIdKey, u"") == u"Tavportsvc" &&
               world.registry.Value(win::kHkeyClassesRoot, kExeKey, u"AppID") ==
                   u"{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}";
    }
    std::optional<std::u16string> LocalService() {
        return world.registry.Value(win::kHkeyClassesRoot, kAppIdKey, u"LocalService");
    }
    bool TypeLibRegistered(bool forUser = false) {
        return world.typeLibs.IsRegistered(sim::SimHostWorld::ServiceTypeLib(), forUser);
    }
    void ExpectNoLeaks() {
        EXPECT_EQ(world.registry.OpenHandleCount(), 0u);
        EXPECT_EQ(world.scm.OpenHandleCount(), 0u);
        EXPECT_EQ(world.typeLibs.OpenLibraries(), 0);
    }

    sim::SimHostWorld world{test::RealRegistryScript()};
    test::ScriptedModule module{world.platform};
};

TEST_F(RegistrationTest, ServiceSwitchInstallsTheExactEntry) {
    for (const char16_t* spelling : {u"-Service", u"/service", u"-SERVICE"}) {
        sim::SimHostWorld fresh{test::RealRegistryScript()};
        test::ScriptedModule freshModule{fresh.platform};
        EXPECT_EQ(freshModule.ProcessMain(std::u16string(u"x.exe ") + spelling), 0u);
        auto entry = fresh.scm.Find(u"Tavportsvc");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->config.name, u"Tavportsvc");
        EXPECT_EQ(entry->config.displayName, u"TAV Virtual Serial Port Service");
        EXPECT_EQ(entry->description, u"Service program for TAV Virtual Serial Port.");
        EXPECT_EQ(entry->config.desiredAccess, 0xF01FFu);
        EXPECT_EQ(entry->config.serviceType, 0x10u);
        EXPECT_EQ(entry->config.startType, 2u);
        EXPECT_EQ(entry->config.errorControl, 1u);
        EXPECT_EQ(entry->config.imagePath, u"\"C:\\Program Files\\TAV\\Tavportsvc.exe\"");
        EXPECT_EQ(entry->config.dependencies, std::vector<std::u16string>{u"RPCSS"});
        EXPECT_EQ(entry->state, win::kServiceStopped);  // installing does not start it
        EXPECT_EQ(fresh.registry.Value(win::kHkeyClassesRoot, kAppIdKey, u"LocalService"),
                  u"Tavportsvc");
        EXPECT_TRUE(fresh.typeLibs.IsRegistered(sim::SimHostWorld::ServiceTypeLib(), false));
    }
}

TEST_F(RegistrationTest, ServiceSwitchWritesScriptEntriesAndTypeLibrary) {
    EXPECT_EQ(Run(u"-Service"), 0u);
    EXPECT_TRUE(ScriptEntriesPresent());
    auto registrations = world.typeLibs.Registrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].path, sim::kSimServiceExePath);
    EXPECT_FALSE(registrations[0].hasHelpDir);  // the library names no help file
    // Each text goes to RegSetValueExW as a REG_SZ with its terminating NUL counted.
    const std::pair<std::u16string, std::u16string> kWritten[] = {
        {kAppIdKey, u""}, {kAppIdKey, u"LocalService"}, {kExeKey, u"AppID"}};
    for (const auto& [path, name] : kWritten) {
        SCOPED_TRACE(ToUtf8(path + u"\\" + name));
        auto stored = world.registry.StoredValue(win::kHkeyClassesRoot, path, name);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, sim::sdk::kRegSz);
        EXPECT_EQ(stored->data,
                  sim::U16Bytes(*world.registry.Value(win::kHkeyClassesRoot, path, name)));
    }
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, ServiceTwiceRecreatesTheEntry) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ASSERT_EQ(Run(u"-Service"), 0u);
    EXPECT_EQ(world.trace.faults.Calls("CreateServiceW"), 2);
    EXPECT_EQ(world.trace.faults.Calls("DeleteService"), 1);
    EXPECT_TRUE(world.scm.Find(u"Tavportsvc"));
    EXPECT_TRUE(ScriptEntriesPresent());
    EXPECT_EQ(LocalService(), u"Tavportsvc");
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, ServiceOverARunningServiceWaitsForItToStop) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ServiceConfig running = world.scm.Find(u"Tavportsvc")->config;
    world.scm.AddService(running, win::kServiceRunning);
    world.scm.SetStopDelay(4000);
    const uint64_t before = world.clock.Elapsed();
    EXPECT_EQ(Run(u"-Service"), 0u);
    EXPECT_GE(world.clock.Elapsed() - before, 4000u);
    EXPECT_LT(world.clock.Elapsed() - before, 30000u);
    auto entry = world.scm.Find(u"Tavportsvc");
    ASSERT_TRUE(entry);
    EXPECT_FALSE(entry->markedForDelete);
    EXPECT_EQ(entry->state, win::kServiceStopped);
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, ServiceThatWillNotStopIsWaitedForOnlyUpToTheBound) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ServiceConfig running = world.scm.Find(u"Tavportsvc")->config;
    world.scm.AddService(running, win::kServiceRunning);
    world.scm.SetStopDelay(120000);
    const uint64_t before = world.clock.Elapsed();
    // The old entry can only be marked for deletion: reported as a failure, not as an
    // installation that vanishes when the old process ends.
    EXPECT_EQ(Run(u"-Service"), kEFailCode);
    EXPECT_GE(world.clock.Elapsed() - before, 30000u);
    EXPECT_LT(world.clock.Elapsed() - before, 31000u);
    EXPECT_TRUE(world.scm.Find(u"Tavportsvc")->markedForDelete);
    EXPECT_EQ(world.trace.faults.Calls("CreateServiceW"), 1);
    ExpectNoLeaks();

    // Once the old process has ended the entry is gone and installing works again.
    world.clock.Advance(120000);
    EXPECT_FALSE(world.scm.Find(u"Tavportsvc"));
    EXPECT_EQ(Run(u"-Service"), 0u);
    EXPECT_TRUE(world.scm.Find(u"Tavportsvc"));
}

// The old instance stops `stopDelay` ms after it was asked to: the status is polled every
// 250 ms up to the 30 s bound, so one stopping at the bound is still seen and one a
// millisecond later is not.
struct StopWaitCase {
    const char* name;
    uint32_t stopDelayMs;
    bool installed;
};
// Printed by its name, not as the bytes of the record.
void PrintTo(const StopWaitCase& c, std::ostream* os) {
    *os << c.name;
}

class UninstallStopWait : public RegistrationTest,
                          public ::testing::WithParamInterface<StopWaitCase> {};

TEST_P(UninstallStopWait, OldInstanceStoppingAtTheBoundIsWaitedFor) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ServiceConfig running = world.scm.Find(u"Tavportsvc")->config;
    world.scm.AddService(running, win::kServiceRunning);
    world.scm.SetStopDelay(GetParam().stopDelayMs);
    const uint64_t before = world.clock.Elapsed();
    EXPECT_EQ(Run(u"-Service"), GetParam().installed ? 0u : kEFailCode);
    EXPECT_EQ(world.clock.Elapsed() - before, 30000u);
    EXPECT_EQ(world.scm.Find(u"Tavportsvc")->markedForDelete, !GetParam().installed);
}

INSTANTIATE_TEST_SUITE_P(Boundary, UninstallStopWait,
                         ::testing::Values(StopWaitCase{"OneMsBefore", 29999, true},
                                           StopWaitCase{"AtTheBound", 30000, true},
                                           StopWaitCase{"OneMsAfter", 30001, false}),
                         [](const ::testing::TestParamInfo<StopWaitCase>& c) {
                             return c.param.name;
                         });

TEST_F(RegistrationTest, MarkedEntryRefusesRecreationUntilItsProcessStops) {
    ServiceConfig config;
    config.name = u"Tavportsvc";
    world.scm.AddService(config, win::kServiceRunning);
    world.scm.SetStopDelay(1000);
    uint32_t error = 0;
    ScHandle manager = world.scm.OpenManager(sim::sdk::kScManagerAllAccess, error);
    ScHandle service = world.scm.OpenServiceEntry(
        manager, u"Tavportsvc", sim::sdk::kDelete | sim::sdk::kServiceStop, error);
    EXPECT_EQ(world.scm.DeleteService(service), 0u);
    EXPECT_EQ(world.scm.CreateServiceEntry(manager, config, error), 0u);
    EXPECT_EQ(error, win::kErrorServiceMarkedForDelete);
    EXPECT_EQ(world.scm.ControlStop(service), 0u);
    world.clock.Advance(1000);
    ScHandle created = world.scm.CreateServiceEntry(manager, config, error);
    EXPECT_NE(created, 0u);
    world.scm.Close(created);
    world.scm.Close(service);
    world.scm.Close(manager);
}

TEST_F(RegistrationTest, RegServerAfterServiceRemovesServiceAndLocalServiceOnly) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    EXPECT_EQ(Run(u"-RegServer"), 0u);
    EXPECT_FALSE(world.scm.Find(u"Tavportsvc"));
    EXPECT_FALSE(LocalService());
    EXPECT_TRUE(ScriptEntriesPresent());
    EXPECT_TRUE(TypeLibRegistered());
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, UnregServerRemovesEverythingButTheAppIdKey) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    EXPECT_EQ(Run(u"-UnregServer"), 0u);
    EXPECT_FALSE(world.scm.Find(u"Tavportsvc"));
    EXPECT_FALSE(TypeLibRegistered());
    EXPECT_TRUE(world.registry.KeyExists(win::kHkeyClassesRoot, u"AppID"));
    EXPECT_FALSE(world.registry.KeyExists(win::kHkeyClassesRoot, kAppIdKey));
    EXPECT_FALSE(world.registry.KeyExists(win::kHkeyClassesRoot, kExeKey));
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, UnregServerStopsAtAFailedTypeLibraryUnregistration) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ASSERT_EQ(Run(u"-UnregServer"), 0u);
    ASSERT_EQ(Run(u"-Service"), 0u);
    world.trace.faults.Fail("UnRegisterTypeLib", 0x8002801C);
    EXPECT_EQ(Run(u"-UnregServer"), 0x8002801Cu);
    EXPECT_TRUE(world.scm.Find(u"Tavportsvc"));
    EXPECT_TRUE(ScriptEntriesPresent());
    EXPECT_EQ(LocalService(), u"Tavportsvc");
}

TEST_F(RegistrationTest, UnregServerWithoutAppIdEntriesFailsAfterRemovingTheService) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ASSERT_EQ(module.ApplyRegistryScript(false, {}), win::kSOk);
    ASSERT_FALSE(world.registry.KeyExists(win::kHkeyClassesRoot, kAppIdKey));
    EXPECT_EQ(Run(u"-UnregServer"), 0x80070002u);
    EXPECT_FALSE(world.scm.Find(u"Tavportsvc"));
}

TEST_F(RegistrationTest, PerUserSwitchesUseCurrentUserClassesAndUserTypeLibFunctions) {
    EXPECT_EQ(Run(u"-RegServerPerUser"), 0u);
    EXPECT_TRUE(module.PerUserMode());
    EXPECT_EQ(world.registry.Value(win::kHkeyCurrentUser, u"Software\\Classes\\" + kAppIdKey, u""),
              u"Tavportsvc");
    EXPECT_FALSE(world.registry.Value(win::kHkeyClassesRoot, kAppIdKey, u""));
    // The key the operation opens itself stays machine-wide.
    EXPECT_TRUE(world.registry.KeyExists(win::kHkeyClassesRoot, kAppIdKey));
    EXPECT_TRUE(TypeLibRegistered(true));
    EXPECT_FALSE(TypeLibRegistered(false));
    EXPECT_EQ(Run(u"-UnregServerPerUser"), 0u);
    EXPECT_FALSE(TypeLibRegistered(true));
    EXPECT_FALSE(
        world.registry.KeyExists(win::kHkeyCurrentUser, u"Software\\Classes\\" + kAppIdKey));
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, PerUserFallsBackToMachineFunctionsWithoutTheExports) {
    world.typeLibs.SetPerUserExports(false);
    EXPECT_EQ(Run(u"-RegServerPerUser"), 0u);
    EXPECT_TRUE(TypeLibRegistered(false));
}

TEST_F(RegistrationTest, FailedInstallationKeepsScriptAndLocalService) {
    world.trace.faults.FailAlways("OpenSCManagerW", win::kErrorAccessDenied);
    EXPECT_EQ(Run(u"-Service"), kEFailCode);
    EXPECT_TRUE(ScriptEntriesPresent());
    EXPECT_EQ(LocalService(), u"Tavportsvc");
    EXPECT_FALSE(TypeLibRegistered());
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, RefusedDeletionFailsRegServer) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    world.trace.faults.Fail("DeleteService", win::kErrorAccessDenied);
    EXPECT_EQ(Run(u"-RegServer"), kEFailCode);
    EXPECT_EQ(world.trace.faults.Calls("RegCreateKeyExW"), 3 + 1);  // only the first run wrote
    ExpectNoLeaks();
}

// Started from an ordinary shell: the manager cannot be opened for all access, so the
// service counts as absent; the first write under HKEY_CLASSES_ROOT is refused, and the run
// ends with that error before anything is written or removed.
TEST_F(RegistrationTest, StandardUserRegistrationFailsWithAccessDeniedAndChangesNothing) {
    for (bool installedBefore : {false, true}) {
        sim::SimHostWorld machine{test::RealRegistryScript()};
        test::ScriptedModule admin{machine.platform};
        if (installedBefore) {
            ASSERT_EQ(admin.ProcessMain(u"Tavportsvc.exe -Service"), 0u);
        }
        const auto classesBefore = machine.registry.Dump(win::kHkeyClassesRoot);
        const auto userBefore = machine.registry.Dump(win::kHkeyCurrentUser);
        machine.SetCaller(sim::SimCaller::kStandardUser);
        for (const char16_t* switches : {u"-Service", u"-RegServer", u"/regserver"}) {
            test::ScriptedModule user{machine.platform};
            EXPECT_EQ(user.ProcessMain(std::u16string(u"Tavportsvc.exe ") + switches), 0x80070005u)
                << installedBefore;
            EXPECT_EQ(machine.registry.Dump(win::kHkeyClassesRoot), classesBefore);
            EXPECT_EQ(machine.registry.Dump(win::kHkeyCurrentUser), userBefore);
            EXPECT_EQ(machine.scm.Find(u"Tavportsvc").has_value(), installedBefore);
            EXPECT_EQ(machine.typeLibs.IsRegistered(sim::SimHostWorld::ServiceTypeLib(), false),
                      installedBefore);
            EXPECT_EQ(machine.registry.OpenHandleCount(), 0u);
            EXPECT_EQ(machine.scm.OpenHandleCount(), 0u);
        }
        // Removal stops at the type library, which a standard user cannot unregister.
        test::ScriptedModule user{machine.platform};
        EXPECT_EQ(user.ProcessMain(u"Tavportsvc.exe -UnregServer"), 0x8002801Cu);
        EXPECT_EQ(machine.registry.Dump(win::kHkeyClassesRoot), classesBefore);
        EXPECT_EQ(machine.scm.Find(u"Tavportsvc").has_value(), installedBefore);
    }
}

// What registration writes is meant to stay: every key it creates is non-volatile.
TEST_F(RegistrationTest, RegistrationSurvivesARestartOfTheMachine) {
    ASSERT_EQ(Run(u"-Service"), 0u);
    ASSERT_EQ(Run(u"-RegServerPerUser"), 0u);
    world.RestartMachine();
    EXPECT_TRUE(ScriptEntriesPresent());
    EXPECT_EQ(world.registry.Value(win::kHkeyCurrentUser, u"Software\\Classes\\" + kAppIdKey, u""),
              u"Tavportsvc");
    EXPECT_FALSE(world.registry.IsVolatile(win::kHkeyClassesRoot, kAppIdKey));
}

TEST_F(RegistrationTest, RegistryFailuresBecomeWin32HResults) {
    world.trace.faults.Fail("RegOpenKeyExW", win::kErrorAccessDenied);
    EXPECT_EQ(Run(u"-RegServer"), 0x80070005u);
    ExpectNoLeaks();
}

TEST_F(RegistrationTest, LongExecutablePathCannotBeInstalled) {
    world.image.SetPath(u"C:\\" + std::u16string(300, u'a') + u"\\Tavportsvc.exe");
    EXPECT_FALSE(module.InstallService());
    EXPECT_EQ(Run(u"-Service"), 0x8007007Au);
    EXPECT_FALSE(world.scm.Find(u"Tavportsvc"));
    world.image.SetPath(u"C:\\" + std::u16string(255, u'a'));  // 258 characters fit
    EXPECT_TRUE(module.InstallService());
}

TEST_F(RegistrationTest, TypeLibraryFallsBackToTheTlbBesideTheExecutable) {
    world.image.SetPath(u"C:\\svc.d\\Tavportsvc.exe");
    world.typeLibs.AddFile(u"C:\\svc.d\\Tavportsvc.tlb", sim::SimHostWorld::ServiceTypeLib(),
                           u"C:\\help\\svc.chm");
    EXPECT_EQ(module.RegisterTypeLibrary(), win::kSOk);
    auto registrations = world.typeLibs.Registrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].path, u"C:\\svc.d\\Tavportsvc.tlb");
    EXPECT_TRUE(registrations[0].hasHelpDir);
    EXPECT_EQ(registrations[0].helpDir, u"C:\\help\\");

    world.image.SetPath(u"C:\\svc.d\\Tavportsvc");
    world.typeLibs.AddFile(u"C:\\svc.d\\Tavportsvc.tlb", sim::SimHostWorld::ServiceTypeLib());
    EXPECT_EQ(module.UnregisterTypeLibrary(), win::kSOk);
    world.image.SetPath(u"C:\\nowhere\\x.exe");
    EXPECT_EQ(module.RegisterTypeLibrary(), sim::kTypeECantLoadLibrary);
}

TEST_F(RegistrationTest, HelpFileWithoutFolderGivesAnEmptyHelpDirectoryNotNone) {
    world.typeLibs.AddFile(sim::kSimServiceExePath, sim::SimHostWorld::ServiceTypeLib(),
                           u"svc.chm");
    EXPECT_EQ(module.RegisterTypeLibrary(), win::kSOk);
    auto registrations = world.typeLibs.Registrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_TRUE(registrations[0].hasHelpDir);
    EXPECT_EQ(registrations[0].helpDir, u"");
}

TEST_F(RegistrationTest, MissingScriptResourceFailsRegistration) {
    world.image.RemoveResource(u"REGISTRY", 101);
    EXPECT_EQ(Run(u"-RegServer"), 0x80070716u);
    ExpectNoLeaks();
}

}  // namespace
}  // namespace tav::portsvc::host
