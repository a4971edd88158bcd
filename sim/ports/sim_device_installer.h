#pragma once
// Simulated device installation: a file system of INF files, device node creation from an
// INF's class (ROOT\<CLASS>\nnnn in the DeviceTree) and a driver update that, when the
// driver is good, gives every matching port device a COM port interface. newdev.dll and
// its export can be missing. Every call records itself and can be told to fail.

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "tavportsvc/core/device_install_api.h"

namespace tav::sim {

// The hardware ID the port driver's INF installs on.
inline constexpr char16_t kSimPortHardwareId[] = u"ROOT\\PORTS\\Tavport\\0000";

// GUID_DEVCLASS_PORTS {4D36E978-E325-11CE-BFC1-08002BE10318}.
inline constexpr Guid kPortsClassGuid = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

struct DriverBehaviour {
    bool newdevPresent = true;       // LoadLibraryW("newdev.dll") succeeds
    bool exportPresent = true;       // the update function is exported
    bool updateSucceeds = true;      // UpdateDriverForPlugAndPlayDevicesW returns TRUE
    bool rebootRequired = false;     // and asks for a restart
    bool registersInterface = true;  // an installed port registers its COM port interface
};

// "\\?\ROOT#PORTS#0000#{86e0d1e0-8089-11d0-9ce4-08003e301f73}" for "ROOT\PORTS\0000".
std::u16string InterfacePathOf(const std::u16string& instanceId, const Guid& interfaceClass);
// The first "ROOT\<CLASS>\nnnn" not in the tree.
std::u16string NextRootInstanceId(const DeviceTree& tree, const std::u16string& className);

class SimDeviceInstaller : public portsvc::DeviceInstallApi {
  public:
    SimDeviceInstaller(SimTrace& trace, DeviceTree& tree) : m_trace(trace), m_tree(tree) {}

    // An INF at an absolute path declaring `className` (Ports by default).
    void AddInf(const std::u16string& path, const Guid& classGuid = kPortsClassGuid,
                const std::u16string& className = u"Ports");
    void SetCurrentDirectory(const std::u16string& dir);
    void SetDriverBehaviour(const DriverBehaviour& behaviour);

    std::vector<uint8_t> LastHardwareIdProperty() const;
    int LoadedModuleCount() const;
    int OpenSetCount() const;
    int DriverUpdates() const;

    // Called for each port the driver starts on, as the Ports class installer does when it
    // gives a new port its COM name.
    std::function<void(const std::u16string& instanceId)> onPortStarted;

    uint32_t FullPathName(const char16_t* path, uint32_t bufferUnits, char16_t* buffer) override;
    uint32_t FileAttributes(const char16_t* path) override;
    bool GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                     uint32_t classNameUnits, uint32_t* requiredSize) override;
    portsvc::PlatformHandle CreateDeviceInfoList(const Guid& classGuid) override;
    bool CreateDeviceInfo(portsvc::PlatformHandle set, const char16_t* deviceName,
                          const Guid& classGuid, uint32_t flags, win::DevInfoData* out) override;
    bool SetDeviceRegistryProperty(portsvc::PlatformHandle set, win::DevInfoData* devInfo,
                                   uint32_t property, const void* data, uint32_t size) override;
    bool CallClassInstaller(uint32_t difCode, portsvc::PlatformHandle set,
                            win::DevInfoData* devInfo) override;
    bool DestroyDeviceInfoList(portsvc::PlatformHandle set) override;
    portsvc::PlatformHandle LoadModule(const char16_t* name) override;
    void* FindExport(portsvc::PlatformHandle module, const char* name) override;
    bool UnloadModule(portsvc::PlatformHandle module) override;
    bool UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId, const char16_t* infPath,
                                   uint32_t flags, bool* rebootRequired) override;

  private:
    struct Inf {
        Guid classGuid;
        std::u16string className;
    };
    struct Element {
        std::u16string instanceId;
        std::u16string setupClass;
        std::vector<std::u16string> hardwareIds;
    };
    struct DevInfoSet {
        std::vector<Element> elements;
    };
    Element* FindElement(portsvc::PlatformHandle set, const win::DevInfoData* devInfo);
    void InstallOn(const SimDevice& device);

    SimTrace& m_trace;
    DeviceTree& m_tree;
    mutable std::mutex m_mutex;
    std::map<std::u16string, Inf> m_infs;  // by folded absolute path
    std::u16string m_currentDirectory = u"C:\\Windows\\system32";
    DriverBehaviour m_driver;
    std::map<portsvc::PlatformHandle, DevInfoSet> m_sets;
    std::set<portsvc::PlatformHandle> m_modules;
    std::vector<uint8_t> m_lastHardwareIds;
    portsvc::PlatformHandle m_nextHandle = 0x9000;
    int m_driverUpdates = 0;
};

}  // namespace tav::sim
