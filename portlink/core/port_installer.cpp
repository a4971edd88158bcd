#include "portlink/core/port_installer.h"

#include "portlink/core/owned_handles.h"
#include "shared/last_error.h"
#include "shared/u16.h"

namespace tav::portsvc {

namespace {

constexpr uint32_t kHardwareIdCopyBound = 256;
constexpr uint32_t kClassNameUnits = 32;

bool IsAbsentOrEmpty(const char16_t* path) {
    return path == nullptr || path[0] == 0;
}

// The absolute form of `path` in `full` (win::kMaxPath units); false when it cannot be formed
// or needs win::kMaxPath units or more.
bool MakeAbsolute(DeviceInstallApi& api, const char16_t* path, char16_t* full) {
    uint32_t length = api.FullPathName(path, win::kMaxPath, full);
    return length != 0 && length < win::kMaxPath;
}

// The hardware ID list: the ID, its NUL and the closing NUL of the multi-string.
bool BuildHardwareIdList(char16_t* list, uint32_t* bytes) {
    size_t length = U16Length(kPortHardwareId);
    if (length >= kHardwareIdCopyBound)
        return false;
    for (size_t i = 0; i < length; ++i)
        list[i] = kPortHardwareId[i];
    *bytes = static_cast<uint32_t>((length + 2) * 2);
    return true;
}

// Steps on the new element of `set`: create it, give it the hardware ID, register it.
bool RegisterNewElement(SetupDiApi& api, TraceProvider& trace, PlatformHandle set,
                        const Guid& classGuid, const char16_t* className,
                        const char16_t* hardwareIds, uint32_t hardwareIdBytes) {
    win::DevInfoData element;
    if (!api.CreateDeviceInfo(set, className, classGuid, win::kDicdGenerateId, &element)) {
        trace.Emit<device_event::kCreateDeviceInfoFailed>(GetLastErrorCode());
        return false;
    }
    if (!api.SetDeviceRegistryProperty(set, &element, win::kSpdrpHardwareId, hardwareIds,
                                       hardwareIdBytes)) {
        trace.Emit<device_event::kSetHardwareIdFailed>(GetLastErrorCode());
        return false;
    }
    if (!api.CallClassInstaller(win::kDifRegisterDevice, set, &element)) {
        trace.Emit<device_event::kRegisterDeviceFailed>(GetLastErrorCode());
        return false;
    }
    return true;
}

uint32_t CallUpdateDriver(DeviceInstallApi& api, TraceProvider& trace, void* proc,
                          const char16_t* fullPath) {
    trace.Emit<device_event::kUpdateDriverStarting>(TraceU16{kPortHardwareId}, TraceU16{fullPath});
    bool rebootRequired = false;
    if (!api.UpdateDriverForPnpDevices(proc, kPortHardwareId, fullPath,
                                       win::kInstallFlagForce | win::kInstallFlagNonInteractive,
                                       &rebootRequired))
        return kPortInstallFailed;
    trace.Emit<device_event::kUpdateDriverDone>();
    return rebootRequired ? kPortInstallDoneRestart : kPortInstallDone;
}

}  // namespace

uint32_t CreatePortDevice(SetupDiApi& setupDi, DeviceInstallApi& files, TraceProvider& trace,
                          const char16_t* infPath) {
    if (IsAbsentOrEmpty(infPath))
        return kPortInstallBadPath;
    char16_t fullPath[win::kMaxPath] = {};
    if (!MakeAbsolute(files, infPath, fullPath)) {
        trace.Emit<device_event::kInfPathInvalid>(TraceU16{infPath});
        return kPortInstallFailed;
    }
    char16_t hardwareIds[win::kMaxPath] = {};
    uint32_t hardwareIdBytes = 0;
    if (!BuildHardwareIdList(hardwareIds, &hardwareIdBytes)) {
        trace.Emit<device_event::kHardwareIdTooLong>(TraceU16{kPortHardwareId});
        return kPortInstallFailed;
    }
    Guid classGuid{};
    char16_t className[kClassNameUnits] = {};
    if (!setupDi.GetInfClass(fullPath, &classGuid, className, kClassNameUnits, nullptr)) {
        trace.Emit<device_event::kInfClassFailed>(GetLastErrorCode());
        return kPortInstallFailed;
    }
    OwnedDeviceInfoSet set(setupDi, setupDi.CreateDeviceInfoList(classGuid));
    if (!set) {
        trace.Emit<device_event::kCreateInfoListFailed>(GetLastErrorCode());
        return kPortInstallFailed;
    }
    bool registered = RegisterNewElement(setupDi, trace, set.get(), classGuid, className,
                                         hardwareIds, hardwareIdBytes);
    return registered ? kPortInstallDone : kPortInstallFailed;
}

uint32_t InstallPortDriver(DeviceInstallApi& api, TraceProvider& trace, const char16_t* infPath) {
    if (IsAbsentOrEmpty(infPath))
        return kPortInstallBadPath;
    char16_t fullPath[win::kMaxPath] = {};
    if (!MakeAbsolute(api, infPath, fullPath))
        return kPortInstallFailed;
    if (api.FileAttributes(fullPath) == win::kInvalidFileAttributes)
        return kPortInstallFailed;
    OwnedModule newdev(api, api.LoadModule(kNewdevDll));
    if (!newdev)
        return kPortInstallFailed;
    void* proc = api.FindExport(newdev.get(), kUpdateDriverExport);
    if (!proc)
        return kPortInstallFailed;
    return CallUpdateDriver(api, trace, proc, fullPath);
}

}  // namespace tav::portsvc
