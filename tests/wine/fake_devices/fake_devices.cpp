// Test helper for the Wine tests of Tavportsvc.exe (never part of a deliverable): makes a
// fake root-enumerated port with a COM port interface, or a fake printer with an interface
// of the printer class, and lists the ports' links.
//   fake_devices port | printer | printers | links
#include <windows.h>
// After <windows.h>.
#include <setupapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
const GUID kPrinterInterface = {
    0xA4C7E912, 0x3F58, 0x4B06, {0x9D, 0x2E, 0x61, 0xB0, 0xF7, 0xC3, 0xD8, 0x45}};

std::wstring InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* iface) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, iface, nullptr, 0, &size, nullptr);
    std::wstring buffer(size, L'\0');
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(&buffer[0]);
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, iface, detail, size, nullptr, nullptr))
        return L"";
    return detail->DevicePath;
}

// DIGCF_PRESENT lists an interface only once its registry "Linked" value is 1.
bool MarkLinked(const wchar_t* guid, const std::wstring& path) {
    std::wstring name = path;
    for (size_t i = 0; i < 4 && i < name.size(); ++i) {
        if (name[i] == L'\\')
            name[i] = L'#';
    }
    std::wstring key = std::wstring(L"System\\CurrentControlSet\\Control\\DeviceClasses\\") + guid +
                       L"\\" + name + L"\\#\\Control";
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return false;
    DWORD one = 1;
    LSTATUS status = RegSetValueExW(handle, L"Linked", 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

int MakeDevice(const GUID& interfaceClass, const wchar_t* guidText) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kPortsClass, nullptr);
    SP_DEVINFO_DATA info = {};
    info.cbSize = sizeof info;
    static const wchar_t kHardwareId[] = L"ROOT\\PORTS\\Tavport\\0000\0";
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof iface;
    bool ok = SetupDiCreateDeviceInfoW(set, L"PORTS", &kPortsClass, nullptr, nullptr,
                                       DICD_GENERATE_ID, &info) &&
              SetupDiSetDeviceRegistryPropertyW(set, &info, SPDRP_HARDWAREID,
                                                reinterpret_cast<const BYTE*>(kHardwareId),
                                                sizeof kHardwareId) &&
              SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &info) &&
              SetupDiCreateDeviceInterfaceW(set, &info, &interfaceClass, nullptr, 0, &iface);
    // An installed device has its hardware key ("Device Parameters"); the service opens it.
    HKEY hardwareKey = static_cast<HKEY>(INVALID_HANDLE_VALUE);
    if (ok)
        hardwareKey =
            SetupDiCreateDevRegKeyW(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    const bool made = hardwareKey != static_cast<HKEY>(INVALID_HANDLE_VALUE);
    if (made)
        RegCloseKey(hardwareKey);
    std::wstring path = made ? InterfacePath(set, &iface) : L"";
    SetupDiDestroyDeviceInfoList(set);
    if (path.empty() || !MarkLinked(guidText, path)) {
        std::fwprintf(stderr, L"device not made: %lu\n", GetLastError());
        return 1;
    }
    std::wprintf(L"%ls\n", path.c_str());
    return 0;
}

int ListLinks() {
    HDEVINFO set =
        SetupDiGetClassDevsW(&kComPortInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kComPortInterface, i, &iface);
         ++i) {
        SP_DEVINFO_DATA info = {};
        info.cbSize = sizeof info;
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, nullptr, &info);
        wchar_t link[260] = L"-";
        HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key != INVALID_HANDLE_VALUE) {
            DWORD size = sizeof link;
            if (RegGetValueW(key, L"Tavportsvc", L"SymbolicLink", RRF_RT_REG_SZ, nullptr, link,
                             &size) != ERROR_SUCCESS)
                std::wcscpy(link, L"-");
            RegCloseKey(key);
        }
        std::wprintf(L"%ls %ls\n", InterfacePath(set, &iface).c_str(), link);
    }
    SetupDiDestroyDeviceInfoList(set);
    return 0;
}

// The present printer-class interfaces, as the service's pass sees them.
int ListPrinters() {
    HDEVINFO set = SetupDiGetClassDevsW(&kPrinterInterface, nullptr, nullptr,
                                        DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &kPrinterInterface, i, &iface); ++i)
        std::wprintf(L"%ls\n", InterfacePath(set, &iface).c_str());
    SetupDiDestroyDeviceInfoList(set);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"port")
        return MakeDevice(kComPortInterface, L"{86E0D1E0-8089-11D0-9CE4-08003E301F73}");
    if (command == L"printer")
        return MakeDevice(kPrinterInterface, L"{A4C7E912-3F58-4B06-9D2E-61B0F7C3D845}");
    if (command == L"printers")
        return ListPrinters();
    if (command == L"links")
        return ListLinks();
    std::fwprintf(stderr, L"usage: fake_devices port | printer | printers | links\n");
    return 2;
}
