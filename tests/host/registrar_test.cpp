#include <gtest/gtest.h>

#include "shared/u16.h"
#include "sim/registry/sim_registry.h"
#include "tavportsvc/host/registrar.h"
#include "tests/host/host_test_support.h"

namespace tav::portsvc::host {
namespace {

constexpr char16_t kAppId[] = u"{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}";

std::u16string RealScript() {
    auto bytes = test::RealRegistryScript();
    return std::u16string(bytes.begin(), bytes.end());
}

ScriptVariables AppIdVariables() {
    return {{u"APPID", kAppId}};
}

class RegistrarTest : public ::testing::Test {
  protected:
    win::HResult Run(std::u16string_view script, bool doRegister, bool perUser = false,
                     ScriptVariables variables = AppIdVariables()) {
        return RunRegistryScript(registry, script, variables, doRegister, perUser);
    }

    sim::SimTrace trace;
    sim::SimRegistry registry{trace, sim::SimCaller::kAdministrator};
};

TEST_F(RegistrarTest, RealScriptIsTheExactResourceText) {
    auto bytes = test::RealRegistryScript();
    ASSERT_EQ(bytes.size(), 125u);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 6), "HKCR\r\n");
    EXPECT_NE(text.find("\t\tval AppID"), std::string::npos);
    EXPECT_NE(text.find("\tNoRemove AppID\r\n"), std::string::npos);
}

TEST_F(RegistrarTest, RegisteringTheRealScriptWritesTheAppIdEntries) {
    ASSERT_EQ(Run(RealScript(), true), win::kSOk);
    const std::u16string appIdKey = std::u16string(u"AppID\\") + kAppId;
    EXPECT_EQ(registry.Value(win::kHkeyClassesRoot, appIdKey, u""), u"Tavportsvc");
    EXPECT_EQ(registry.Value(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE", u"AppID"),
              std::u16string(kAppId));
    EXPECT_EQ(registry.ValueNames(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE").size(), 1u);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrarTest, UnregisteringKeepsNoRemoveKeyAndDeletesTheRest) {
    registry.AddKey(win::kHkeyClassesRoot, u"AppID\\{OTHER}");
    ASSERT_EQ(Run(RealScript(), true), win::kSOk);
    ASSERT_EQ(Run(RealScript(), false), win::kSOk);
    EXPECT_TRUE(registry.KeyExists(win::kHkeyClassesRoot, u"AppID"));
    EXPECT_TRUE(registry.KeyExists(win::kHkeyClassesRoot, u"AppID\\{OTHER}"));
    EXPECT_FALSE(registry.KeyExists(win::kHkeyClassesRoot, std::u16string(u"AppID\\") + kAppId));
    EXPECT_FALSE(registry.KeyExists(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE"));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrarTest, UnregisteringKeepsKeysThatStillHaveSubkeys) {
    ASSERT_EQ(Run(RealScript(), true), win::kSOk);
    registry.AddKey(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE\\Extra");
    ASSERT_EQ(Run(RealScript(), false), win::kSOk);
    EXPECT_TRUE(registry.KeyExists(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE\\Extra"));
    // Its script value is gone even though the key stays.
    EXPECT_FALSE(registry.Value(win::kHkeyClassesRoot, u"AppID\\Tavportsvc.EXE", u"AppID"));
}

TEST_F(RegistrarTest, UnregisteringWhatIsAbsentSucceeds) {
    EXPECT_EQ(Run(RealScript(), false), win::kSOk);
    EXPECT_EQ(Run(RealScript(), false, true), win::kSOk);
}

TEST_F(RegistrarTest, PerUserModeRewritesHkcrToCurrentUserClasses) {
    ASSERT_EQ(Run(RealScript(), true, true), win::kSOk);
    EXPECT_EQ(registry.Value(win::kHkeyCurrentUser,
                             std::u16string(u"Software\\Classes\\AppID\\") + kAppId, u""),
              u"Tavportsvc");
    EXPECT_FALSE(registry.KeyExists(win::kHkeyClassesRoot, std::u16string(u"AppID\\") + kAppId));
    ASSERT_EQ(Run(RealScript(), false, true), win::kSOk);
    EXPECT_TRUE(registry.KeyExists(win::kHkeyCurrentUser, u"Software\\Classes\\AppID"));
    EXPECT_FALSE(
        registry.KeyExists(win::kHkeyCurrentUser, u"Software\\Classes\\AppID\\Tavportsvc.EXE"));
}

TEST_F(RegistrarTest, ModuleVariablesAreSubstitutedWithApostrophesDoubled) {
    ScriptVariables variables = {{u"Module", u"\"C:\\it''s\\x.exe\""},
                                 {u"Module_Raw", u"C:\\it''s\\x.exe"}};
    ASSERT_EQ(Run(u"HKCR { K { val A = s '%Module%' val B = s '%MODULE_RAW%' val P = s '100%%' } }",
                  true, false, variables),
              win::kSOk);
    EXPECT_EQ(registry.Value(win::kHkeyClassesRoot, u"K", u"A"), u"\"C:\\it's\\x.exe\"");
    EXPECT_EQ(registry.Value(win::kHkeyClassesRoot, u"K", u"B"), u"C:\\it's\\x.exe");
    EXPECT_EQ(registry.Value(win::kHkeyClassesRoot, u"K", u"P"), u"100%");
}

TEST_F(RegistrarTest, MalformedScriptsFailCleanlyAndWriteNothing) {
    const char16_t* scripts[] = {
        u"HKCR {",                                // unclosed root
        u"HKCR { K { }",                          // unclosed key
        u"HKCR { 'K = s 'v' }",                   // quote runs into the rest
        u"HKCR { 'unterminated }",                // unterminated quote
        u"HKCR { K = 'v' }",                      // missing type
        u"HKCR { K = d '1' }",                    // unsupported type
        u"HKCR { K = s }",                        // missing data
        u"HKCR { val A = s 'v' }",                // value outside a key
        u"HKCR { K { val = s 'v' } }",            // value without a name
        u"HKCR { K { val A s 'v' } }",            // missing '='
        u"HKXX { K }",                            // unknown root
        u"{ K }",                                 // missing root
        u"HKCR { NoRemove }",                     // key name missing
        u"HKCR { '' }",                           // empty key name
        u"HKCR K",                                // missing brace
        u"HKCR { K } }",                          // stray brace
        u"HKCR { K { val A = s '%UNKNOWN%' } }",  // unknown variable
        u"HKCR { K { val A = s '%APPID' } }",     // unterminated variable
        u"HKCR { = }",
        u"HKCR { 'A\\B' }",  // a key item names one key
        u"HKCR { '\\' = s 'v' }",
    };
    for (const char16_t* script : scripts) {
        EXPECT_EQ(Run(script, true), kScriptSyntaxError) << ToUtf8(script);
        EXPECT_EQ(Run(script, false), kScriptSyntaxError) << ToUtf8(script);
    }
    const std::u16string withNul(u"HKCR { 'A\0B' }", 15);
    EXPECT_EQ(Run(withNul, true), kScriptSyntaxError);
    EXPECT_TRUE(registry.SubkeyNames(win::kHkeyClassesRoot, u"").empty());
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST_F(RegistrarTest, NestingBeyondTheLimitIsRefused) {
    std::u16string deep = u"HKCR {";
    for (int i = 0; i < 1000; ++i)
        deep += u" K {";
    for (int i = 0; i < 1000; ++i)
        deep += u" }";
    deep += u" }";
    EXPECT_EQ(Run(deep, true), kScriptSyntaxError);

    std::u16string allowed = u"HKCR {";
    for (int i = 0; i < kMaxScriptDepth - 1; ++i)
        allowed += u" K {";
    for (int i = 0; i < kMaxScriptDepth - 1; ++i)
        allowed += u" }";
    allowed += u" }";
    EXPECT_EQ(Run(allowed, true), win::kSOk);
}

TEST_F(RegistrarTest, RegistryFailuresComeBackAsHResults) {
    trace.faults.Fail("RegCreateKeyExW", win::kErrorAccessDenied, 1, 1);
    EXPECT_EQ(Run(RealScript(), true), win::HResultFromWin32(win::kErrorAccessDenied));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
    trace.faults.Clear();
    ASSERT_EQ(Run(RealScript(), true), win::kSOk);
    trace.faults.Fail("RegDeleteKeyW", win::kErrorAccessDenied);
    EXPECT_EQ(Run(RealScript(), false), win::HResultFromWin32(win::kErrorAccessDenied));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

// The predefined keys are (HKEY)(ULONG_PTR)((LONG)0x8000000n): sign-extended on a 64-bit
// build. The programs' keys open; the zero-extended values are no keys and fail with 6.
TEST_F(RegistrarTest, PredefinedKeysAreTheSignExtendedValues) {
    const PlatformHandle programRoots[] = {win::kHkeyClassesRoot, win::kHkeyCurrentUser,
                                           win::kHkeyLocalMachine, win::kHkeyUsers};
    for (uint32_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        PlatformHandle key = 0;
        ASSERT_EQ(registry.CreateKey(programRoots[i], u"K", 0, win::kKeyWrite, key, nullptr), 0u);
        static_cast<void>(registry.CloseKey(key));
        const PlatformHandle signExtended = static_cast<PlatformHandle>(
            static_cast<intptr_t>(static_cast<int32_t>(0x80000000u + i)));
        EXPECT_EQ(programRoots[i], signExtended);
        if (sizeof(PlatformHandle) == 8) {
            const PlatformHandle zeroExtended = 0x80000000u + i;
            EXPECT_EQ(registry.OpenKey(zeroExtended, u"K", win::kKeyRead, key), 6u);
            EXPECT_EQ(registry.CreateKey(zeroExtended, u"K", 0, win::kKeyWrite, key, nullptr), 6u);
        }
    }
    EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tav::portsvc::host
