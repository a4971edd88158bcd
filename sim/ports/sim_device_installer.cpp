#include "sim/ports/sim_device_installer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
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

std::u16string Folded(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldCase(c);
    return out;
}

std::u16string Upper(std::u16string text) {
    for (auto& c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
}

bool IsAbsolute(const std::u16string& path) {
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

std::vector<std::u16string> ParseMultiSz(const void* data, uint32_t size) {
    std::vector<std::u16string> out;
    const auto* units = static_cast<const char16_t*>(data);
    size_t count = size / 2;
    std::u16string current;
    for (size_t i = 0; i < count; ++i) {
        if (units[i] == 0) {
            if (current.empty())
                break;
            out.push_back(current);
            current.clear();
        } else {
            current += units[i];
        }
    }
    return out;
}

}  // namespace

std::u16string InterfacePathOf(const std::u16string& instanceId, const Guid& interfaceClass) {
    std::u16string path = u"\\\\?\\";
    for (char16_t c : instanceId)
        path += c == u'\\' ? u'#' : c;
    return path + u"#" + Folded(GuidToString(interfaceClass));
}

std::u16string NextRootInstanceId(const DeviceTree& tree, const std::u16string& className) {
    for (int n = 0;; ++n) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", n);
        std::u16string id = u"ROOT\\" + Upper(className) + u"\\" + FromUtf8(digits);
        if (!tree.Device(id))
            return id;
    }
}

void SimDeviceInstaller::AddInf(const std::u16string& path, const Guid& classGuid,
                                const std::u16string& className) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_infs[Folded(path)] = Inf{classGuid, className};
}

void SimDeviceInstaller::SetCurrentDirectory(const std::u16string& dir) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_currentDirectory = dir;
}

void SimDeviceInstaller::SetDriverBehaviour(const DriverBehaviour& behaviour) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_driver = behaviour;
}

std::vector<uint8_t> SimDeviceInstaller::LastHardwareIdProperty() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastHardwareIds;
}

int SimDeviceInstaller::LoadedModuleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_modules.size());
}

int SimDeviceInstaller::OpenSetCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_sets.size());
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
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_infs.count(Folded(path)) == 0) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return win::kInvalidFileAttributes;
    }
    return kFileAttributeNormal;
}

bool SimDeviceInstaller::GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                                     uint32_t classNameUnits, uint32_t* requiredSize) {
    if (Fails(m_trace, "SetupDiGetINFClassW", ToUtf8(infPath)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_infs.find(Folded(infPath));
    if (it == m_infs.end()) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return false;
    }
    auto units = static_cast<uint32_t>(it->second.className.size() + 1);
    if (requiredSize)
        *requiredSize = units;
    if (units > classNameUnits) {
        SetLastErrorCode(win::kErrorInsufficientBuffer);
        return false;
    }
    *classGuid = it->second.classGuid;
    std::memcpy(className, it->second.className.c_str(), units * 2);
    return true;
}

PlatformHandle SimDeviceInstaller::CreateDeviceInfoList(const Guid& classGuid) {
    if (Fails(m_trace, "SetupDiCreateDeviceInfoList", ToUtf8(GuidToString(classGuid))))
        return win::kInvalidHandleValue;
    std::lock_guard<std::mutex> lock(m_mutex);
    PlatformHandle set = m_nextHandle;
    m_nextHandle += 8;
    m_sets[set] = DevInfoSet{};
    return set;
}

SimDeviceInstaller::Element* SimDeviceInstaller::FindElement(PlatformHandle set,
                                                             const win::DevInfoData* devInfo) {
    auto it = m_sets.find(set);
    if (it == m_sets.end() || !devInfo || devInfo->reserved >= it->second.elements.size()) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return nullptr;
    }
    return &it->second.elements[devInfo->reserved];
}

bool SimDeviceInstaller::CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                          const Guid& /*classGuid*/, uint32_t flags,
                                          win::DevInfoData* out) {
    if (Fails(m_trace, "SetupDiCreateDeviceInfoW",
              ToUtf8(deviceName) + " flags=" + std::to_string(flags)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_sets.find(set);
    if (it == m_sets.end()) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    if (flags & ~(sdk::kDicdGenerateId | sdk::kDicdInheritClassDrvs)) {
        SetLastErrorCode(sdk::kErrorInvalidFlags);
        return false;
    }
    // Without DICD_GENERATE_ID the name must be a whole instance ID, which a class name is not.
    if ((flags & sdk::kDicdGenerateId) == 0) {
        SetLastErrorCode(sdk::kErrorInvalidDevinstName);
        return false;
    }
    // Ids already handed to elements of this set count as taken too.
    std::u16string id = NextRootInstanceId(m_tree, deviceName);
    it->second.elements.push_back(Element{id, deviceName, {}});
    out->reserved = it->second.elements.size() - 1;
    out->devInst = static_cast<uint32_t>(out->reserved + 100);
    return true;
}

bool SimDeviceInstaller::SetDeviceRegistryProperty(PlatformHandle set, win::DevInfoData* devInfo,
                                                   uint32_t property, const void* data,
                                                   uint32_t size) {
    if (Fails(m_trace, "SetupDiSetDeviceRegistryPropertyW",
              "property=" + std::to_string(property) + " bytes=" + std::to_string(size)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    Element* element = FindElement(set, devInfo);
    if (!element)
        return false;
    if (property > sdk::kSpdrpMaximumProperty) {
        SetLastErrorCode(sdk::kErrorInvalidRegProperty);
        return false;
    }
    if (property == sdk::kSpdrpHardwareId) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_lastHardwareIds.assign(bytes, bytes + size);
        element->hardwareIds = ParseMultiSz(data, size);
    }
    return true;
}

bool SimDeviceInstaller::CallClassInstaller(uint32_t difCode, PlatformHandle set,
                                            win::DevInfoData* devInfo) {
    if (Fails(m_trace, "SetupDiCallClassInstaller", "dif=" + std::to_string(difCode)))
        return false;
    SimDevice device;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Element* element = FindElement(set, devInfo);
        if (!element)
            return false;
        // Other installer functions exist; the port creation only registers a device.
        if (difCode != sdk::kDifRegisterDevice) {
            SetLastErrorCode(win::kErrorInvalidParameter);
            return false;
        }
        device.instanceId = element->instanceId;
        device.setupClass = element->setupClass;
        device.hardwareIds = element->hardwareIds;
    }
    m_tree.AddDevice(device);
    return true;
}

bool SimDeviceInstaller::DestroyDeviceInfoList(PlatformHandle set) {
    if (Fails(m_trace, "SetupDiDestroyDeviceInfoList"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sets.erase(set) == 0) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    return true;
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
        if (proc != &g_updateDriverToken || m_infs.count(Folded(infPath)) == 0) {
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
