// tav_port_core_probe: a 64-bit test program that runs the port link core over the real
// Win32 adapters, and makes the fake devices a test needs (root-enumerated Ports devices
// with COM port interfaces, printer-class interfaces). Test support, not part of the service.
//
//   make-port [link]      a Ports device with a COM port interface (and a link); prints
//                         "<instance id> <interface path>"
//   make-printer [absent] a device with a printer-class interface; prints its path
//   make-usb-printer      the same under a USB instance ID (the family's interface path)
//   pass                  one reconcile pass
//   pass-held [abandon]   one pass while another thread holds (or abandoned) the
//                         utility's mutex
//   show                  every COM port interface and its link: "<path> => <link>"
//   sets                  the service's SetupDi adapter on its sets: a created set destroyed
//                         through it, a COM port's registered device registered again, then
//                         every call with a handle never made; prints
//                         "<call> ok=<0|1> error=<last error>" for each call

#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <cstdio>
#include <string>

#include "portlink/core/port_link_core.h"
#include "portlink/core/win32/win32_port_adapters.h"
#include "shared/names.h"
#include "shared/u16.h"

namespace tav {
using namespace tav::portsvc;
namespace {

// GUID_DEVCLASS_PORTS and GUID_DEVCLASS_USB.
const GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID kUsbClass = {
    0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

const wchar_t* AsWideName() {
    return reinterpret_cast<const wchar_t*>(kSetupMutexName);
}

void Print(const std::wstring& text) {
    std::u16string u(text.begin(), text.end());
    std::printf("%s\n", ToUtf8(u).c_str());
}

std::wstring InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* data) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, data, nullptr, 0, &size, nullptr);
    std::wstring buffer(size, L'\0');
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(&buffer[0]);
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, data, detail, size, nullptr, nullptr))
        return L"";
    return detail->DevicePath;
}

bool WriteLink(HKEY hardwareKey, const std::wstring& link) {
    HKEY sub = nullptr;
    if (RegCreateKeyExW(hardwareKey, L"Tavportsvc", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &sub,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG status =
        RegSetValueExW(sub, L"SymbolicLink", 0, REG_SZ, reinterpret_cast<const BYTE*>(link.c_str()),
                       static_cast<DWORD>((link.size() + 1) * 2));
    RegCloseKey(sub);
    return status == ERROR_SUCCESS;
}

// Wine lists an interface under DIGCF_PRESENT only once its "Linked" value is 1.
bool MarkInterfacePresent(const GUID& interfaceClass, const std::wstring& path) {
    std::wstring name = L"##?#" + path.substr(4);
    std::wstring guid = reinterpret_cast<const wchar_t*>(
        GuidToString(*reinterpret_cast<const Guid*>(&interfaceClass)).c_str());
    std::wstring key = L"System\\CurrentControlSet\\Control\\DeviceClasses\\" + guid + L"\\" +
                       name + L"\\#\\Control";
    HKEY control = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &control,
                        nullptr) != ERROR_SUCCESS)
        return false;
    DWORD one = 1;
    LONG status = RegSetValueExW(control, L"Linked", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(control);
    return status == ERROR_SUCCESS;
}

// A registered root device of `setupClass` named `name`, with one interface of
// `interfaceClass`. Prints "<instance id> <path>"; with `link`, writes it to the device's
// hardware key.
int MakeDevice(const GUID& setupClass, const wchar_t* name, const wchar_t* hardwareIds,
               DWORD hardwareIdBytes, const GUID& interfaceClass, const std::wstring* link,
               bool present, DWORD createFlags = DICD_GENERATE_ID) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&setupClass, nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    if (set == INVALID_HANDLE_VALUE ||
        !SetupDiCreateDeviceInfoW(set, name, &setupClass, nullptr, nullptr, createFlags, &device) ||
        !SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(hardwareIds),
                                           hardwareIdBytes) ||
        !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device) ||
        !SetupDiCreateDeviceInterfaceW(set, &device, &interfaceClass, nullptr, 0, &iface)) {
        std::printf("device creation failed: %lu\n", GetLastError());
        return 1;
    }
    HKEY key =
        SetupDiCreateDevRegKeyW(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE) {
        std::printf("hardware key failed: %lu\n", GetLastError());
        return 1;
    }
    bool ok = !link || WriteLink(key, *link);
    RegCloseKey(key);
    wchar_t id[MAX_PATH] = {};
    SetupDiGetDeviceInstanceIdW(set, &device, id, MAX_PATH, nullptr);
    std::wstring path = InterfacePath(set, &iface);
    if (present)
        ok = ok && MarkInterfacePresent(interfaceClass, path);
    SetupDiDestroyDeviceInfoList(set);
    Print(std::wstring(id) + L" " + path);
    return ok ? 0 : 1;
}

int MakePort(const std::wstring* link) {
    static const wchar_t kIds[] = L"ROOT\\PORTS\\Tavport\\0000\0";
    return MakeDevice(kPortsClass, L"Ports", kIds, sizeof kIds,
                      ToWin32Guid(kGuidDevinterfaceComport), link, false);
}

int MakePrinter(bool present) {
    static const wchar_t kIds[] = L"USB\\VID_1B7E&PID_0101\0";
    return MakeDevice(kUsbClass, L"TavPrinter", kIds, sizeof kIds,
                      ToWin32Guid(kPrinterInterfaceClass), nullptr, present);
}

// The same printer under a USB instance ID, so that its interface path is one of the
// family's ("\\?\USB#VID_1B7E&PID_0101#..."), as tavprinter's discovery wants it.
int MakeUsbPrinter() {
    static const wchar_t kIds[] = L"USB\\VID_1B7E&PID_0101\0";
    return MakeDevice(kUsbClass, L"USB\\VID_1B7E&PID_0101\\FAKE0001", kIds, sizeof kIds,
                      ToWin32Guid(kPrinterInterfaceClass), nullptr, true, 0);
}

int Pass() {
    Win32PortLinkPlatform platform;
    PortLinkCore core(platform.Platform());
    core.Trace().Start();
    core.ReconcilePorts();
    core.Trace().Stop();
    std::printf("pass done\n");
    return 0;
}

struct Holder {
    HANDLE created;
    HANDLE release;
    bool abandon;
};

DWORD WINAPI HoldMutex(void* context) {
    auto* holder = static_cast<Holder*>(context);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, AsWideName());
    SetEvent(holder->created);
    if (!holder->abandon) {
        WaitForSingleObject(holder->release, INFINITE);
        ReleaseMutex(mutex);
    }
    return 0;  // an owned mutex left behind is abandoned
}

int PassWhileHeld(bool abandon) {
    HANDLE mutexKeeper = nullptr;
    Holder holder{CreateEventW(nullptr, TRUE, FALSE, nullptr),
                  CreateEventW(nullptr, TRUE, FALSE, nullptr), abandon};
    HANDLE thread = CreateThread(nullptr, 0, HoldMutex, &holder, 0, nullptr);
    WaitForSingleObject(holder.created, INFINITE);
    if (abandon)
        WaitForSingleObject(thread, INFINITE);
    // Keeps the mutex object alive after an abandoning thread's handle went with it.
    mutexKeeper = OpenMutexW(SYNCHRONIZE, FALSE, AsWideName());
    int result = Pass();
    SetEvent(holder.release);
    WaitForSingleObject(thread, INFINITE);
    if (mutexKeeper)
        CloseHandle(mutexKeeper);
    CloseHandle(thread);
    return result;
}

int Show() {
    GUID comport = ToWin32Guid(kGuidDevinterfaceComport);
    HDEVINFO set = SetupDiGetClassDevsW(&comport, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return 1;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &comport, i, &iface); ++i) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        std::wstring path = InterfacePath(set, &iface);
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, nullptr, &device);
        std::wstring link = L"<none>";
        HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            wchar_t value[300] = {};
            DWORD size = sizeof value;
            if (RegGetValueW(key, L"Tavportsvc", L"SymbolicLink", RRF_RT_REG_SZ, nullptr, value,
                             &size) == ERROR_SUCCESS)
                link = value;
            RegCloseKey(key);
        }
        Print(path + L" => " + link);
    }
    SetupDiDestroyDeviceInfoList(set);
    return 0;
}

void PrintCall(const char* call, bool ok) {
    DWORD error = GetLastError();
    std::printf("%s ok=%d error=%lu\n", call, ok ? 1 : 0, error);
}

// Every call of the adapter that takes a set, with `set` and zeroed records (no class, so
// that no class installer comes first), each printed with its result and last error.
void CallsOnSet(Win32SetupDi& api, PlatformHandle set) {
    const Guid comport = kGuidDevinterfaceComport;
    win::DeviceInterfaceData iface;
    win::DevInfoData device;
    std::u16string path;
    const char16_t ids[] = u"ROOT\\PORTS\\Tavport\\0000\0";
    SetLastError(0);
    PrintCall("SetupDiEnumDeviceInterfaces", api.EnumDeviceInterfaces(set, comport, 0, &iface));
    SetLastError(0);
    PrintCall("SetupDiGetDeviceInterfaceDetailW/size", api.GetInterfaceDetailSize(set, iface) != 0);
    SetLastError(0);
    PrintCall("SetupDiGetDeviceInterfaceDetailW/path",
              api.GetInterfacePath(set, iface, 512, &path));
    SetLastError(0);
    PrintCall("SetupDiGetDeviceInterfaceDetailW/devinfo",
              api.GetInterfaceDevInfo(set, iface, &device));
    device = win::DevInfoData{};
    SetLastError(0);
    PrintCall("SetupDiOpenDevRegKey", api.OpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV,
                                                        KEY_READ) != win::kInvalidHandleValue);
    SetLastError(0);
    PrintCall("SetupDiCreateDeviceInfoW",
              api.CreateDeviceInfo(set, u"Ports", Guid{}, DICD_GENERATE_ID, &device));
    device = win::DevInfoData{};
    SetLastError(0);
    PrintCall("SetupDiSetDeviceRegistryPropertyW",
              api.SetDeviceRegistryProperty(set, &device, SPDRP_HARDWAREID, ids, sizeof ids));
    SetLastError(0);
    PrintCall("SetupDiCallClassInstaller",
              api.CallClassInstaller(DIF_REGISTERDEVICE, set, &device));
    SetLastError(0);
    PrintCall("SetupDiDestroyDeviceInfoList", api.DestroyDeviceInfoList(set));
}

int Sets() {
    Win32SetupDi api;
    Guid ports{};
    std::memcpy(&ports, &kPortsClass, sizeof ports);
    PlatformHandle created = api.CreateDeviceInfoList(ports);
    PrintCall("SetupDiCreateDeviceInfoList", created != win::kInvalidHandleValue);
    PrintCall("SetupDiDestroyDeviceInfoList", api.DestroyDeviceInfoList(created));
    // The first COM port's device, registered already, registered again.
    const Guid comport = kGuidDevinterfaceComport;
    PlatformHandle snapshot = api.GetClassDevs(comport, DIGCF_DEVICEINTERFACE);
    win::DeviceInterfaceData iface;
    win::DevInfoData device;
    bool found = api.EnumDeviceInterfaces(snapshot, comport, 0, &iface);
    found = (api.GetInterfaceDevInfo(snapshot, iface, &device) ||
             GetLastError() == ERROR_INSUFFICIENT_BUFFER) &&
            found;
    SetLastError(0);
    PrintCall("SetupDiCallClassInstaller/registered",
              found && api.CallClassInstaller(DIF_REGISTERDEVICE, snapshot, &device));
    PrintCall("SetupDiDestroyDeviceInfoList", api.DestroyDeviceInfoList(snapshot));
    // A destroyed set is not read again here: Wine's check would read freed memory.
    for (PlatformHandle neverMade : {win::kInvalidHandleValue, win::kNoHandle}) {
        std::printf("handle %s\n", neverMade == win::kNoHandle ? "null" : "invalid");
        CallsOnSet(api, neverMade);
    }
    return 0;
}

}  // namespace
}  // namespace tav

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    std::wstring argument = argc > 2 ? argv[2] : L"";
    if (command == L"make-port")
        return tav::MakePort(argc > 2 ? &argument : nullptr);
    if (command == L"make-printer")
        return tav::MakePrinter(argument != L"absent");
    if (command == L"make-usb-printer")
        return tav::MakeUsbPrinter();
    if (command == L"pass")
        return tav::Pass();
    if (command == L"pass-held")
        return tav::PassWhileHeld(argument == L"abandon");
    if (command == L"show")
        return tav::Show();
    if (command == L"sets")
        return tav::Sets();
    std::printf(
        "usage: make-port [link] | make-printer [absent] | make-usb-printer | pass | pass-held "
        "[abandon] | "
        "show | sets\n");
    return 2;
}
