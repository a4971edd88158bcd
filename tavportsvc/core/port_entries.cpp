#include "tavportsvc/core/port_entries.h"

#include "shared/last_error.h"
#include "shared/win/errors.h"
#include "tavportsvc/core/port_link_value.h"

namespace tav {

namespace {

// The port's hardware key, or win::kInvalidHandleValue (traced).
PlatformHandle OpenPortKey(PassContext& ctx, PlatformHandle set,
                           const win::DeviceInterfaceData& interfaceData) {
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    win::DevInfoData devInfo;
    if (!devices.GetInterfaceDevInfo(set, interfaceData, &devInfo)) {
        uint32_t error = GetLastErrorCode();
        if (error != win::kErrorInsufficientBuffer) {
            ctx.trace.Emit(TraceModule::kService, service_event::kPortDevInfoFailed,
                           win::kTraceLevelError, error);
            return win::kInvalidHandleValue;
        }
    }
    PlatformHandle key = devices.OpenDevRegKey(set, devInfo, win::kDicsFlagGlobal, 0,
                                               win::kDiregDev, kPortKeyAccess);
    if (key == win::kInvalidHandleValue)
        ctx.trace.Emit(TraceModule::kService, service_event::kPortKeyOpenFailed,
                       win::kTraceLevelError, GetLastErrorCode());
    return key;
}

}  // namespace

int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& /*devicePath*/,
                 PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData) {
    PlatformHandle key = OpenPortKey(ctx, devInfoSet, interfaceData);
    if (key == win::kInvalidHandleValue)
        return 1;
    RegistryApi& registry = *ctx.platform.registry;
    // One unit beyond the read limit stays NUL whatever the read leaves behind.
    char16_t link[kLinkReadLimitBytes / 2 + 1] = {};
    uint32_t size = kLinkReadLimitBytes;
    uint32_t status =
        registry.GetValue(key, kLinkSubKey, kLinkValueName, win::kRrfRtRegSz, nullptr, link, &size);
    if (status != win::kErrorSuccess && status != win::kErrorFileNotFound) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPortLinkUnreadable,
                       win::kTraceLevelError, status);
        registry.CloseKey(key);
        return 1;
    }
    if (status == win::kErrorFileNotFound)
        link[0] = 0;
    if (!list.AppendDeviceEntry(link, key))
        registry.CloseKey(key);
    return 1;
}

int AddPrinterEntry(PassContext& /*ctx*/, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle /*devInfoSet*/,
                    const win::DeviceInterfaceData& /*interfaceData*/) {
    list.AppendDeviceEntry(devicePath.c_str(), win::kNoHandle);
    return 1;
}

}  // namespace tav
