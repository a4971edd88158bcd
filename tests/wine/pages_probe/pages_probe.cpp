// A small console program that runs the driver package lookup and the PnP refresh on this
// machine with the Win32 adapters, and prints what they found. The driver store queries, the
// lookup's debug texts and the refresh's SetupAPI calls are printed one per line with their
// results, so a test can see which store answered and the class GUIDs come back whole.

#include <windows.h>

#include <cstdio>

#include "printer/link/win32/win32_device_setup.h"
#include "printer/settings/driver_package.h"
#include "printer/settings/module_directory.h"
#include "printer/settings/pnp_refresh.h"
#include "printer/settings/win32/win32_driver_store.h"
#include "printer/settings/win32/win32_file_system.h"
#include "printer/settings/win32/win32_pnp_manager.h"
#include "shared/guid.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win32/system_clock.h"

namespace {

using tav::setup::Handle;
namespace win = tav::win;

// Win32DeviceSetup, printing each call the refresh makes: name, arguments, result, error.
class PrintingDeviceSetup : public tav::setup::DeviceSetup {
  public:
    int ClassGuidsFromName(const char16_t* className, tav::Guid* guids, uint32_t capacity,
                           uint32_t* pRequired) override {
        const int ok = m_real.ClassGuidsFromName(className, guids, capacity, pRequired);
        const unsigned long error = tav::GetLastErrorCode();
        std::printf("SetupDiClassGuidsFromNameW %s %lu: %d required %lu", Utf8(className).c_str(),
                    static_cast<unsigned long>(capacity), ok,
                    static_cast<unsigned long>(pRequired ? *pRequired : 0));
        if (ok && pRequired && *pRequired >= 1 && capacity >= 1)
            std::printf(" %s", Utf8(tav::GuidToString(guids[0])).c_str());
        std::printf(ok ? "\n" : " error %lu\n", error);
        return ok;
    }
    Handle GetClassDevs(const tav::Guid& classGuid, uint32_t flags) override {
        const Handle set = m_real.GetClassDevs(classGuid, flags);
        std::printf("SetupDiGetClassDevsW %s 0x%lX: %s\n",
                    Utf8(tav::GuidToString(classGuid)).c_str(), static_cast<unsigned long>(flags),
                    set == win::kNoHandle ? "invalid" : "set");
        return set;
    }
    int EnumDeviceInfo(Handle set, uint32_t index, win::DevInfoData& device) override {
        const int ok = m_real.EnumDeviceInfo(set, index, device);
        const unsigned long error = tav::GetLastErrorCode();
        std::printf("SetupDiEnumDeviceInfo %lu: %d", static_cast<unsigned long>(index), ok);
        std::printf(ok ? " devinst %lu\n" : " error %lu\n",
                    ok ? static_cast<unsigned long>(device.devInst) : error);
        return ok;
    }
    int DestroyDeviceInfoList(Handle set) override {
        const int ok = m_real.DestroyDeviceInfoList(set);
        std::printf("SetupDiDestroyDeviceInfoList: %d\n", ok);
        return ok;
    }
    // The discovery's calls: the refresh makes none of them.
    int EnumDeviceInterfaces(Handle set, const tav::Guid& classGuid, uint32_t index,
                             win::DeviceInterfaceData& data) override {
        return m_real.EnumDeviceInterfaces(set, classGuid, index, data);
    }
    int GetDeviceInterfaceDetail(Handle set, const win::DeviceInterfaceData& data, uint8_t* detail,
                                 uint32_t detailSize, uint32_t* pRequiredSize,
                                 win::DevInfoData* pDevice) override {
        return m_real.GetDeviceInterfaceDetail(set, data, detail, detailSize, pRequiredSize,
                                               pDevice);
    }
    int SetClassInstallParams(Handle set, win::DevInfoData& device,
                              const win::PropChangeParams& params, uint32_t size) override {
        return m_real.SetClassInstallParams(set, device, params, size);
    }
    int CallClassInstaller(uint32_t installFunction, Handle set,
                           win::DevInfoData& device) override {
        return m_real.CallClassInstaller(installFunction, set, device);
    }

  private:
    static std::string Utf8(std::u16string_view text) { return tav::ToUtf8(text); }

    tav::setup::Win32DeviceSetup m_real;
};

// Win32DriverStore, printing each query: the INF asked for, the answer, the stored path.
class PrintingDriverStore : public tav::setup::DriverStore {
  public:
    uint32_t DriverPackageGetPath(const std::u16string& infPath, char16_t* destination,
                                  uint32_t* numChars) override {
        const uint32_t result = m_real.DriverPackageGetPath(infPath, destination, numChars);
        std::printf("DriverPackageGetPathW %s: 0x%lX chars %lu\n", tav::ToUtf8(infPath).c_str(),
                    static_cast<unsigned long>(result),
                    static_cast<unsigned long>(numChars ? *numChars : 0));
        return result;
    }
    int InfDriverStoreLocation(const std::u16string& infName, char16_t* buffer, uint32_t size,
                               uint32_t* required) override {
        const int ok = m_real.InfDriverStoreLocation(infName, buffer, size, required);
        const unsigned long error = tav::GetLastErrorCode();
        std::printf("SetupGetInfDriverStoreLocationW %s: %d", tav::ToUtf8(infName).c_str(), ok);
        if (ok)
            std::printf(" %s\n", tav::ToUtf8(buffer).c_str());
        else
            std::printf(" error %lu\n", error);
        return ok;
    }

  private:
    tav::setup::Win32DriverStore m_real;
};

class PrintingDebugOutput : public tav::setup::DebugOutput {
  public:
    void Write(const char16_t* text) override {
        std::printf("debug: %s\n", tav::ToUtf8(text).c_str());
    }
};

}  // namespace

int wmain() {
    tav::setup::Win32FileSystem files;
    PrintingDriverStore store;
    PrintingDebugOutput debug;
    tav::setup::DriverPackagePlatform platform{files, store, debug};
    const auto directory = tav::setup::GetModuleDirectory(files);
    std::printf("module directory: %s\n", directory ? tav::ToUtf8(*directory).c_str() : "(none)");
    std::printf("port driver available: %d\n", tav::setup::IsPortDriverAvailable(platform) ? 1 : 0);

    PrintingDeviceSetup setup;
    tav::setup::Win32PnpManager pnp;
    tav::SystemClock clock;
    const DWORD start = ::GetTickCount();
    tav::setup::RefreshPnpDevices(setup, pnp, clock);
    std::printf("pnp refresh done in %lu ms\n",
                static_cast<unsigned long>(::GetTickCount() - start));
    return 0;
}
