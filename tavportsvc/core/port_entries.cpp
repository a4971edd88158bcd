#include "tavportsvc/core/port_entries.h"

#include "shared/last_error.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/port_link_value.h"

namespace tav {

namespace {

// The port's hardware key, or kInvalidHandleValue (traced).
PlatformHandle OpenPortKey(PassContext& ctx, PlatformHandle set,
                           const DeviceInterfaceData& interfaceData) {
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    DevInfoData devInfo;
    if (!devices.GetInterfaceDevInfo(set, interfaceData, &devInfo)) {
        uint32_t error = GetLastErrorCode();
        if (error != kErrorInsufficientBuffer) {
            ctx.trace.Emit<service_event::kPortDevInfoFailed>(error);
            return kInvalidHandleValue;
        }
    }
    PlatformHandle key =
        devices.OpenDevRegKey(set, devInfo, kDicsFlagGlobal, 0, kDiregDev, kPortKeyAccess);
    if (key == kInvalidHandleValue)
        ctx.trace.Emit<service_event::kPortKeyOpenFailed>(GetLastErrorCode());
    return key;
}

}  // namespace

int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& /*devicePath*/,
                 PlatformHandle devInfoSet, const DeviceInterfaceData& interfaceData) {
    PlatformHandle key = OpenPortKey(ctx, devInfoSet, interfaceData);
    if (key == kInvalidHandleValue)
        return 1;
    RegistryApi& registry = *ctx.platform.registry;
    // One unit beyond the read limit stays NUL whatever the read leaves behind.
    char16_t link[kLinkReadLimitBytes / 2 + 1] = {};
    uint32_t size = kLinkReadLimitBytes;
    uint32_t status =
        registry.GetValue(key, kLinkSubKey, kLinkValueName, kRrfRtRegSz, nullptr, link, &size);
    if (status != kErrorSuccess && status != kErrorFileNotFound) {
        ctx.trace.Emit<service_event::kPortLinkUnreadable>(status);
        registry.CloseKey(key);
        return 1;
    }
    if (status == kErrorFileNotFound)
        link[0] = 0;
    if (!list.AppendDeviceEntry(link, key))
        registry.CloseKey(key);
    return 1;
}

int AddPrinterEntry(PassContext& /*ctx*/, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle /*devInfoSet*/, const DeviceInterfaceData& /*interfaceData*/) {
    list.AppendDeviceEntry(devicePath.c_str(), kNoHandle);
    return 1;
}

}  // namespace tav
