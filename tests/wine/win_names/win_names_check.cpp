// The handle and pointer values that shared/win/ mirrors are casts in the SDK, and the
// interface and setup class GUIDs the simulated world copies are objects, not constants, so
// they are compared here in a running program: one line per name, "PASS" or "FAIL", then
// "<n> failed". The exit code is the number of failures.
#include <windows.h>
// (after windows.h; GUID_DEVINTERFACE_COMPORT and the setup classes come from libuuid)
#include <devguid.h>
#include <winioctl.h>
// usbprint.h's GUID is in no import library: defined here.
#include <initguid.h>
#include <usbprint.h>

#include <cstdint>
#include <cstdio>

#include "shared/win/handles.h"
#include "shared/win/registry.h"
#include "sim/windows_values.h"

namespace {

int g_failed = 0;

void Check(const char* name, uintptr_t mirrored, uintptr_t sdk) {
    const bool same = mirrored == sdk;
    if (!same)
        ++g_failed;
    std::printf("%s %s mirror 0x%llx sdk 0x%llx\n", same ? "PASS" : "FAIL", name,
                static_cast<unsigned long long>(mirrored), static_cast<unsigned long long>(sdk));
}

uintptr_t Sdk(HANDLE h) {
    return reinterpret_cast<uintptr_t>(h);
}
uintptr_t Sdk(HKEY h) {
    return reinterpret_cast<uintptr_t>(h);
}

tav::Guid FromSdk(const GUID& sdk) {
    tav::Guid out{static_cast<uint32_t>(sdk.Data1), sdk.Data2, sdk.Data3, {}};
    for (int i = 0; i < 8; ++i)
        out.data4[i] = sdk.Data4[i];
    return out;
}

void PrintGuid(const tav::Guid& g) {
    std::printf("%08lX-%04X-%04X-%02X%02X-", static_cast<unsigned long>(g.data1),
                static_cast<unsigned>(g.data2), static_cast<unsigned>(g.data3),
                static_cast<unsigned>(g.data4[0]), static_cast<unsigned>(g.data4[1]));
    for (int i = 2; i < 8; ++i)
        std::printf("%02X", static_cast<unsigned>(g.data4[i]));
}

// Compared field by field (tav::Guid's ==), so a copy differing in its last byte fails.
void CheckGuid(const char* name, const tav::Guid& copy, const GUID& sdk) {
    const tav::Guid fromSdk = FromSdk(sdk);
    const bool same = copy == fromSdk;
    if (!same)
        ++g_failed;
    std::printf("%s %s copy ", same ? "PASS" : "FAIL", name);
    PrintGuid(copy);
    std::printf(" sdk ");
    PrintGuid(fromSdk);
    std::printf("\n");
}

// The mirrored root opens a key below it on this system.
void CheckOpens(const char* name, uintptr_t root, const wchar_t* subkey) {
    HKEY key = nullptr;
    const LONG error = RegOpenKeyExW(reinterpret_cast<HKEY>(root), subkey, 0, KEY_READ, &key);
    if (error == ERROR_SUCCESS)
        RegCloseKey(key);
    else
        ++g_failed;
    std::printf("%s %s opens (%ld)\n", error == ERROR_SUCCESS ? "PASS" : "FAIL", name, error);
}

}  // namespace

int wmain() {
    std::printf("bits %u\n", static_cast<unsigned>(sizeof(void*) * 8));
    using namespace tav::win;
    Check("kNoHandle", kNoHandle, Sdk(static_cast<HANDLE>(nullptr)));
    Check("kInvalidHandleValue", kInvalidHandleValue, Sdk(INVALID_HANDLE_VALUE));
    Check("kHkeyClassesRoot", kHkeyClassesRoot, Sdk(HKEY_CLASSES_ROOT));
    Check("kHkeyCurrentUser", kHkeyCurrentUser, Sdk(HKEY_CURRENT_USER));
    Check("kHkeyLocalMachine", kHkeyLocalMachine, Sdk(HKEY_LOCAL_MACHINE));
    Check("kHkeyUsers", kHkeyUsers, Sdk(HKEY_USERS));
    CheckGuid("sdk::kUsbPrintInterface", tav::sim::sdk::kUsbPrintInterface,
              GUID_DEVINTERFACE_USBPRINT);
    CheckGuid("sdk::kComPortInterface", tav::sim::sdk::kComPortInterface,
              GUID_DEVINTERFACE_COMPORT);
    CheckGuid("sdk::kUsbSetupClass", tav::sim::sdk::kUsbSetupClass, GUID_DEVCLASS_USB);
    CheckGuid("sdk::kPortsSetupClass", tav::sim::sdk::kPortsSetupClass, GUID_DEVCLASS_PORTS);
    CheckOpens("kHkeyLocalMachine", kHkeyLocalMachine, L"Software");
    CheckOpens("kHkeyCurrentUser", kHkeyCurrentUser, L"Software");
    std::printf("%d failed\n", g_failed);
    return g_failed;
}
