#include "sim/ports/sim_setup_di.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/windows_values.h"

namespace tav::sim {
using namespace tav::portsvc;

namespace {

// ERROR_CLASS_MISMATCH: an element of another class than its set's.
constexpr uint32_t kErrorClassMismatch = 0xE0000201;

bool Fails(SimTrace& trace, const std::string& call, const std::string& detail = {}) {
    if (auto error = trace.Enter(call, detail)) {
        SetLastErrorCode(*error);
        return true;
    }
    return false;
}

// The simulated machine runs in its first hardware profile; profile 0 names the current one.
constexpr uint32_t kCurrentHardwareProfile = 1;

// SetupDiOpenDevRegKey's choice of key: ERROR_INVALID_FLAGS for a scope or key type it does
// not know (DIREG_BOTH only creates or deletes).
uint32_t DevRegKeyPlace(uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                        DeviceKeyPlace& place) {
    if (scope != sdk::kDicsFlagGlobal && scope != sdk::kDicsFlagConfigSpecific)
        return sdk::kErrorInvalidFlags;
    if (keyType != sdk::kDiregDev && keyType != sdk::kDiregDrv)
        return sdk::kErrorInvalidFlags;
    place.keyType = keyType;
    if (scope == sdk::kDicsFlagGlobal) {
        // Windows ignores the profile of a global key; our code passes 0, so anything else
        // is refused here to show a mix-up of scope and profile.
        if (hwProfile != 0)
            return sdk::kErrorInvalidParameter;
        place.profile = DeviceKeyPlace::kGlobal;
    } else {
        place.profile = hwProfile == 0 ? kCurrentHardwareProfile : hwProfile;
    }
    return win::kErrorSuccess;
}

// SetupDiCreateDeviceInfoW's flags and name: 0 or the error.
uint32_t CreateDeviceInfoError(const std::u16string& name, uint32_t flags) {
    if (flags & ~(sdk::kDicdGenerateId | sdk::kDicdInheritClassDrvs))
        return sdk::kErrorInvalidFlags;
    // Without DICD_GENERATE_ID the name must be a whole instance ID, which a class name is
    // not; with it, the name is a root device ID that the call completes, so no separators.
    if ((flags & sdk::kDicdGenerateId) == 0 || name.empty() ||
        name.find(u'\\') != std::u16string::npos)
        return sdk::kErrorInvalidDevinstName;
    return win::kErrorSuccess;
}

uint32_t DetailSize(const SimInterface& i) {
    return kDetailPathOffset + static_cast<uint32_t>((i.path.size() + 1) * 2);
}

std::u16string Upper(std::u16string text) {
    for (auto& c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
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

// The first "ROOT\<CLASS>\nnnn" that the tree does not hold and `alsoTaken` does not claim.
std::u16string FirstFreeRootId(const DeviceTree& tree, const std::u16string& className,
                               const std::function<bool(const std::u16string&)>& alsoTaken) {
    for (int n = 0;; ++n) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04d", n);
        std::u16string id = u"ROOT\\" + Upper(className) + u"\\" + FromUtf8(digits);
        if (!tree.Device(id) && !(alsoTaken && alsoTaken(id)))
            return id;
    }
}

}  // namespace

std::u16string InterfacePathOf(const std::u16string& instanceId, const Guid& interfaceClass) {
    std::u16string path = u"\\\\?\\";
    for (char16_t c : instanceId)
        path += c == u'\\' ? u'#' : c;
    return path + u"#" + Folded(GuidToString(interfaceClass));
}

std::u16string NextRootInstanceId(const DeviceTree& tree, const std::u16string& className) {
    return FirstFreeRootId(tree, className, nullptr);
}

int SimSetupDi::OpenSetCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_sets.size());
}

SimSetupDi::SetState SimSetupDi::StateOf(PlatformHandle set) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sets.count(set))
        return SetState::kLive;
    const bool made = set >= kFirstSet && set < m_nextSet && (set - kFirstSet) % kSetStep == 0;
    return made ? SetState::kReleased : SetState::kNeverMade;
}

int SimSetupDi::RefusedHandleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refusedHandles;
}

std::vector<uint8_t> SimSetupDi::LastHardwareIdProperty() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastHardwareIds;
}

SimSetupDi::DevInfoSet* SimSetupDi::LiveSet(PlatformHandle set) {
    auto it = m_sets.find(set);
    if (it == m_sets.end()) {
        ++m_refusedHandles;
        SetLastErrorCode(win::kErrorInvalidHandle);
        return nullptr;
    }
    return &it->second;
}

SimSetupDi::Element* SimSetupDi::FindElement(PlatformHandle set, const win::DevInfoData* devInfo) {
    DevInfoSet* found = LiveSet(set);
    if (!found)
        return nullptr;
    if (!devInfo || devInfo->reserved == 0 || devInfo->reserved > found->elements.size()) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return nullptr;
    }
    return &found->elements[devInfo->reserved - 1];
}

const SimInterface* SimSetupDi::FindInterface(PlatformHandle set,
                                              const win::DeviceInterfaceData& data) {
    DevInfoSet* found = LiveSet(set);
    if (!found)
        return nullptr;
    if (data.reserved == 0 || data.reserved > found->interfaces.size() ||
        found->interfaces[data.reserved - 1].classGuid != data.interfaceClassGuid) {
        SetLastErrorCode(win::kErrorInvalidParameter);
        return nullptr;
    }
    return &found->interfaces[data.reserved - 1];
}

PlatformHandle SimSetupDi::AddSet(DevInfoSet contents) {
    PlatformHandle set = m_nextSet;
    m_nextSet += kSetStep;
    m_sets[set] = std::move(contents);
    return set;
}

// The snapshot holds the class's interfaces and, as elements, the devices behind them.
PlatformHandle SimSetupDi::GetClassDevs(const Guid& interfaceClass, uint32_t flags) {
    if (Fails(m_trace, "SetupDiGetClassDevsW",
              ToUtf8(GuidToString(interfaceClass)) + " flags=" + std::to_string(flags)))
        return win::kInvalidHandleValue;
    if (const uint32_t refused = DeviceTree::ClassDevsFlagsError(flags)) {
        SetLastErrorCode(refused);
        return win::kInvalidHandleValue;
    }
    DevInfoSet contents;
    contents.interfaces = m_tree.ClassDevsInterfaces(interfaceClass, flags);
    std::map<std::u16string, size_t> elementOfDevice;
    for (const SimInterface& i : contents.interfaces) {
        auto [it, added] = elementOfDevice.emplace(i.deviceId, contents.elements.size());
        if (added)
            contents.elements.push_back(Element{i.deviceId, {}, {}, true});
        contents.elementOf.push_back(it->second);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    return AddSet(std::move(contents));
}

bool SimSetupDi::EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass,
                                      uint32_t index, win::DeviceInterfaceData* data) {
    if (Fails(m_trace, "SetupDiEnumDeviceInterfaces", std::to_string(index)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const DevInfoSet* found = LiveSet(set);
    if (!found)
        return false;
    const auto& interfaces = found->interfaces;
    uint32_t seen = 0;
    for (size_t position = 0; position < interfaces.size(); ++position) {
        if (interfaces[position].classGuid != interfaceClass || seen++ != index)
            continue;
        data->interfaceClassGuid = interfaceClass;
        data->flags = interfaces[position].present ? 1u : 0u;  // SPINT_ACTIVE
        data->reserved = position + 1;
        return true;
    }
    SetLastErrorCode(win::kErrorNoMoreItems);
    return false;
}

uint32_t SimSetupDi::GetInterfaceDetailSize(PlatformHandle set,
                                            const win::DeviceInterfaceData& data) {
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "size"))
        return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    const SimInterface* i = FindInterface(set, data);
    if (!i)
        return 0;
    SetLastErrorCode(win::kErrorInsufficientBuffer);
    return DetailSize(*i);
}

bool SimSetupDi::GetInterfacePath(PlatformHandle set, const win::DeviceInterfaceData& data,
                                  uint32_t size, std::u16string* path) {
    if (Fails(m_trace, "GlobalAlloc", std::to_string(size)))
        return false;
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "path"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const SimInterface* i = FindInterface(set, data);
    if (!i)
        return false;
    if (size < DetailSize(*i)) {
        SetLastErrorCode(win::kErrorInsufficientBuffer);
        return false;
    }
    *path = i->path;
    return true;
}

bool SimSetupDi::GetInterfaceDevInfo(PlatformHandle set, const win::DeviceInterfaceData& data,
                                     win::DevInfoData* devInfo) {
    if (Fails(m_trace, "SetupDiGetDeviceInterfaceDetailW", "devinfo"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!FindInterface(set, data))
        return false;
    const DevInfoSet& found = m_sets.at(set);
    const size_t element = found.elementOf[data.reserved - 1];
    // The service never reads the node handle; the element's number stands in for it, as
    // the tree's numbering costs a search per call.
    devInfo->devInst = static_cast<uint32_t>(element + 1);
    devInfo->reserved = element + 1;
    // No detail buffer was given, so the call reports it missing after filling the device in.
    SetLastErrorCode(win::kErrorInsufficientBuffer);
    return false;
}

std::optional<std::u16string> SimSetupDi::DeviceIdOf(PlatformHandle set,
                                                     const win::DevInfoData& devInfo) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Element* element = FindElement(set, &devInfo);
    if (!element)
        return std::nullopt;
    return element->instanceId;
}

// Scope, hardware profile and key type pick one of the device's keys, so a wrong one reads
// and writes elsewhere; the key carries `access` as the caller may have it.
PlatformHandle SimSetupDi::OpenDevRegKey(PlatformHandle set, const win::DevInfoData& devInfo,
                                         uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                                         uint32_t access) {
    if (Fails(m_trace, "SetupDiOpenDevRegKey",
              "scope=" + std::to_string(scope) + " profile=" + std::to_string(hwProfile) +
                  " type=" + std::to_string(keyType) + " access=" + std::to_string(access)))
        return win::kInvalidHandleValue;
    auto deviceId = DeviceIdOf(set, devInfo);
    if (!deviceId)
        return win::kInvalidHandleValue;
    DeviceKeyPlace place;
    if (uint32_t error = DevRegKeyPlace(scope, hwProfile, keyType, place)) {
        SetLastErrorCode(error);
        return win::kInvalidHandleValue;
    }
    PlatformHandle key = win::kNoHandle;
    if (uint32_t error = m_registry.OpenDeviceKey(*deviceId, place, access, key)) {
        SetLastErrorCode(error);
        return win::kInvalidHandleValue;
    }
    return key;
}

bool SimSetupDi::GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                             uint32_t classNameUnits, uint32_t* requiredSize) {
    if (Fails(m_trace, "SetupDiGetINFClassW", ToUtf8(infPath)))
        return false;
    auto inf = m_infs.Find(infPath);
    if (!inf) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return false;
    }
    auto units = static_cast<uint32_t>(inf->className.size() + 1);
    if (requiredSize)
        *requiredSize = units;
    if (units > classNameUnits) {
        SetLastErrorCode(win::kErrorInsufficientBuffer);
        return false;
    }
    *classGuid = inf->classGuid;
    std::memcpy(className, inf->className.c_str(), units * 2);
    return true;
}

PlatformHandle SimSetupDi::CreateDeviceInfoList(const Guid& classGuid) {
    if (Fails(m_trace, "SetupDiCreateDeviceInfoList", ToUtf8(GuidToString(classGuid))))
        return win::kInvalidHandleValue;
    std::lock_guard<std::mutex> lock(m_mutex);
    DevInfoSet contents;
    contents.setupClass = classGuid;
    return AddSet(std::move(contents));
}

bool SimSetupDi::CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                  const Guid& classGuid, uint32_t flags, win::DevInfoData* out) {
    if (Fails(m_trace, "SetupDiCreateDeviceInfoW",
              ToUtf8(deviceName) + " flags=" + std::to_string(flags)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    DevInfoSet* found = LiveSet(set);
    if (!found)
        return false;
    const std::u16string name = deviceName;
    if (const uint32_t refused = CreateDeviceInfoError(name, flags)) {
        SetLastErrorCode(refused);
        return false;
    }
    if (found->setupClass && *found->setupClass != classGuid) {
        SetLastErrorCode(kErrorClassMismatch);
        return false;
    }
    // An ID that an element of a live set holds is taken, as Windows' phantom node holds it.
    std::u16string id = FirstFreeRootId(m_tree, name, [this](const std::u16string& taken) {
        return std::any_of(m_sets.begin(), m_sets.end(), [&](const auto& entry) {
            const auto& elements = entry.second.elements;
            return std::any_of(elements.begin(), elements.end(),
                               [&](const Element& e) { return e.instanceId == taken; });
        });
    });
    found->elements.push_back(Element{id, name, {}, false});
    out->classGuid = classGuid;
    out->reserved = found->elements.size();
    out->devInst = static_cast<uint32_t>(out->reserved);
    return true;
}

bool SimSetupDi::SetDeviceRegistryProperty(PlatformHandle set, win::DevInfoData* devInfo,
                                           uint32_t property, const void* data, uint32_t size) {
    if (Fails(m_trace, "SetupDiSetDeviceRegistryPropertyW",
              "property=" + std::to_string(property) + " bytes=" + std::to_string(size)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    Element* element = FindElement(set, devInfo);
    if (!element)
        return false;
    if (property >= sdk::kSpdrpMaximumProperty) {
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

bool SimSetupDi::CallClassInstaller(uint32_t difCode, PlatformHandle set,
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
        // A device already in the tree is left as it is (Wine answers TRUE as well).
        if (element->registered)
            return true;
        element->registered = true;
        device.instanceId = element->instanceId;
        device.setupClass = element->setupClass;
        device.hardwareIds = element->hardwareIds;
    }
    // Outside the lock: the tree tells its listeners, which may call back in.
    m_tree.AddDevice(device);
    return true;
}

bool SimSetupDi::DestroyDeviceInfoList(PlatformHandle set) {
    if (Fails(m_trace, "SetupDiDestroyDeviceInfoList"))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!LiveSet(set))
        return false;
    m_sets.erase(set);
    return true;
}

}  // namespace tav::sim
