#pragma once
// Simulated driver installation beside SetupDi (sim_setup_di.h): path resolution against a
// current directory, the INF files of SimInfFiles as the file system shows them, and a
// driver update that, when the driver is good, gives every matching port device a COM port
// interface. newdev.dll and its export can be missing. Every call records itself and can
// be told to fail.

#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "portlink/core/device_install_api.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_inf_files.h"

namespace tav::sim {

// The hardware ID the port driver's INF installs on.
inline constexpr char16_t kSimPortHardwareId[] = u"ROOT\\PORTS\\Tavport\\0000";

struct DriverBehaviour {
    bool newdevPresent = true;       // LoadLibraryW("newdev.dll") succeeds
    bool exportPresent = true;       // the update function is exported
    bool updateSucceeds = true;      // UpdateDriverForPlugAndPlayDevicesW returns TRUE
    bool rebootRequired = false;     // and asks for a restart
    bool registersInterface = true;  // an installed port registers its COM port interface
};

class SimDeviceInstaller : public portsvc::DeviceInstallApi {
  public:
    SimDeviceInstaller(SimTrace& trace, DeviceTree& tree, const SimInfFiles& infs)
        : m_trace(trace), m_tree(tree), m_infs(infs) {}

    void SetWorkingDirectory(const std::u16string& dir);
    void SetDriverBehaviour(const DriverBehaviour& behaviour);

    int LoadedModuleCount() const;
    int DriverUpdates() const;

    // Called for each port the driver starts on, as the Ports class installer does when it
    // gives a new port its COM name.
    std::function<void(const std::u16string& instanceId)> onPortStarted;

    uint32_t FullPathName(const char16_t* path, uint32_t bufferUnits, char16_t* buffer) override;
    uint32_t FileAttributes(const char16_t* path) override;
    portsvc::PlatformHandle LoadModule(const char16_t* name) override;
    void* FindExport(portsvc::PlatformHandle module, const char* name) override;
    bool UnloadModule(portsvc::PlatformHandle module) override;
    bool UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId, const char16_t* infPath,
                                   uint32_t flags, bool* rebootRequired) override;

  private:
    void InstallOn(const SimDevice& device);

    SimTrace& m_trace;
    DeviceTree& m_tree;
    const SimInfFiles& m_infs;
    mutable std::mutex m_mutex;
    std::u16string m_currentDirectory = u"C:\\Windows\\system32";
    DriverBehaviour m_driver;
    std::set<portsvc::PlatformHandle> m_modules;
    portsvc::PlatformHandle m_nextHandle = 0x9000;
    int m_driverUpdates = 0;
};

}  // namespace tav::sim
