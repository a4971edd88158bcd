#include "tavportsvc/core/port_entries.h"

#include "shared/last_error.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/port_link_value.h"

namespace tav {

namespace {

// The port's hardware key, or no key (traced).
OwnedRegistryKey OpenPortKey(PassContext& ctx, PlatformHandle set,
                             const DeviceInterfaceData& interfaceData) {
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    DevInfoData devInfo;
    if (!devices.GetInterfaceDevInfo(set, interfaceData, &devInfo)) {
        uint32_t error = GetLastErrorCode();
        if (error != kErrorInsufficientBuffer) {
            ctx.trace.Emit(TraceModule::kService, service_event::kPortDevInfoFailed,
                           kTraceLevelError, error);
            return {};
        }
    }
    PlatformHandle key =
        devices.OpenDevRegKey(set, devInfo, kDicsFlagGlobal, 0, kDiregDev, kPortKeyAccess);
    if (key == kInvalidHandleValue) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPortKeyOpenFailed, kTraceLevelError,
                       GetLastErrorCode());
        return {};
    }
    return OwnedRegistryKey(*ctx.platform.registry, key);
}

}  // namespace

int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& /*devicePath*/,
                 PlatformHandle devInfoSet, const DeviceInterfaceData& interfaceData) {
    OwnedRegistryKey key = OpenPortKey(ctx, devInfoSet, interfaceData);
    if (!key)
        return 1;
    RegistryApi& registry = *ctx.platform.registry;
    // One unit beyond the read limit stays NUL whatever the read leaves behind.
    char16_t link[kLinkReadLimitBytes / 2 + 1] = {};
    uint32_t size = kLinkReadLimitBytes;
    uint32_t status = registry.GetValue(key.get(), kLinkSubKey, kLinkValueName, kRrfRtRegSz,
                                        nullptr, link, &size);
    if (status != kErrorSuccess && status != kErrorFileNotFound) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPortLinkUnreadable, kTraceLevelError,
                       status);
        return 1;
    }
    if (status == kErrorFileNotFound)
        link[0] = 0;
    // Out of memory for the entry: the port is left out and its key closed.
    static_cast<void>(list.AppendDeviceEntry(link, std::move(key)));
    return 1;
}

int AddPrinterEntry(PassContext& /*ctx*/, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle /*devInfoSet*/, const DeviceInterfaceData& /*interfaceData*/) {
    // Out of memory for the entry: the printer is left out of this pass.
    static_cast<void>(list.AppendDeviceEntry(devicePath.c_str(), {}));
    return 1;
}

}  // namespace tav
