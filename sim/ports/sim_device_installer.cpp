#include "sim/ports/sim_device_installer.h"

#include <algorithm>
#include <cstring>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/ports/sim_setup_di.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

constexpr uint32_t kErrorProcNotFound = 127;
constexpr uint32_t kErrorModNotFound = 126;
constexpr uint32_t kFileAttributeNormal = 0x80;
char g_updateDriverToken;

bool Fails(SimTrace& trace, const std::string& call, const std::string& detail = {}) {
    if (auto error = trace.Enter(call, detail)) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
}

bool IsAbsolute(const std::u16string& path) {
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

}  // namespace

void SimDeviceInstaller::SetWorkingDirectory(const std::u16string& dir) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_currentDirectory = dir;
}

void SimDeviceInstaller::SetDriverBehaviour(const DriverBehaviour& behaviour) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_driver = behaviour;
}

int SimDeviceInstaller::LoadedModuleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_modules.size());
}

int SimDeviceInstaller::DriverUpdates() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_driverUpdates;
}

uint32_t SimDeviceInstaller::FullPathName(const char16_t* path, uint32_t bufferUnits,
                                          char16_t* buffer) {
    if (Fails(m_trace, "GetFullPathNameW", ToUtf8(path)))
        return 0;
    std::u16string in(path);
    std::u16string full;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (IsAbsolute(in))
            full = in;
        else if (!in.empty() && in[0] == u'\\')
            full = m_currentDirectory.substr(0, 2) + in;
        else
            full = m_currentDirectory + u"\\" + in;
    }
    auto length = static_cast<uint32_t>(full.size());
    if (length + 1 > bufferUnits)
        return length + 1;
    std::memcpy(buffer, full.c_str(), (full.size() + 1) * 2);
    return length;
}

uint32_t SimDeviceInstaller::FileAttributes(const char16_t* path) {
    if (Fails(m_trace, "GetFileAttributesW", ToUtf8(path)))
        return win::kInvalidFileAttributes;
    if (!m_infs.Find(path)) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return win::kInvalidFileAttributes;
    }
    return kFileAttributeNormal;
}

PlatformHandle SimDeviceInstaller::LoadModule(const char16_t* name) {
    if (Fails(m_trace, "LoadLibraryW", ToUtf8(name)))
        return win::kNoHandle;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_driver.newdevPresent || Folded(name) != u"newdev.dll") {
        SetLastErrorCode(kErrorModNotFound);
        return win::kNoHandle;
    }
    PlatformHandle module = m_nextHandle;
    m_nextHandle += 8;
    m_modules.insert(module);
    return module;
}

void* SimDeviceInstaller::FindExport(PlatformHandle module, const char* name) {
    if (Fails(m_trace, "GetProcAddress", name))
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_modules.count(module) == 0 || !m_driver.exportPresent ||
        std::strcmp(name, "UpdateDriverForPlugAndPlayDevicesW") != 0) {
        SetLastErrorCode(kErrorProcNotFound);
        return nullptr;
    }
    return &g_updateDriverToken;
}

bool SimDeviceInstaller::UnloadModule(PlatformHandle module) {
    if (Fails(m_trace, "FreeLibrary"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_modules.erase(module) != 0;
}

void SimDeviceInstaller::InstallOn(const SimDevice& device) {
    std::u16string path = InterfacePathOf(device.instanceId, sdk::kComPortInterface);
    m_tree.AddInterface(sdk::kComPortInterface, path, device.instanceId, true);
    if (onPortStarted)
        onPortStarted(device.instanceId);
}

bool SimDeviceInstaller::UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId,
                                                   const char16_t* infPath, uint32_t flags,
                                                   bool* rebootRequired) {
    if (Fails(m_trace, "UpdateDriverForPlugAndPlayDevicesW",
              ToUtf8(hardwareId) + " " + ToUtf8(infPath) + " flags=" + std::to_string(flags)))
        return false;
    DriverBehaviour driver;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        driver = m_driver;
        ++m_driverUpdates;
        if (proc != &g_updateDriverToken || !m_infs.Find(infPath)) {
            SetLastErrorCode(win::kErrorFileNotFound);
            return false;
        }
    }
    constexpr uint32_t kInstallFlags =
        sdk::kInstallFlagForce | sdk::kInstallFlagReadOnly | sdk::kInstallFlagNonInteractive;
    if (flags & ~kInstallFlags) {
        SetLastErrorCode(sdk::kErrorInvalidFlags);
        return false;
    }
    // Windows takes an interactive update too, but a service has no desktop to ask on: the
    // update would wait for nobody. No caller here asks for one, so it is refused.
    if (!(flags & sdk::kInstallFlagNonInteractive)) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return false;
    }
    // The INF's driver is for its own hardware ID; nothing else can be updated with it.
    const std::u16string wanted = Folded(hardwareId);
    const auto devices = m_tree.Devices();
    const bool anyDevice = std::any_of(devices.begin(), devices.end(), [&](const SimDevice& d) {
        return d.present && std::any_of(d.hardwareIds.begin(), d.hardwareIds.end(),
                                        [&](const auto& id) { return Folded(id) == wanted; });
    });
    if (!anyDevice) {
        SetLastErrorCode(sdk::kErrorNoSuchDevinst);
        return false;
    }
    if (!driver.updateSucceeds) {
        SetLastErrorCode(win::kErrorGenFailure);
        return false;
    }
    if (driver.registersInterface && wanted == Folded(kSimPortHardwareId)) {
        for (const SimDevice& device : devices) {
            for (const auto& id : device.hardwareIds) {
                if (Folded(id) == wanted && device.present)
                    InstallOn(device);
            }
        }
    }
    *rebootRequired = driver.rebootRequired;
    return true;
}

}  // namespace tav::sim
