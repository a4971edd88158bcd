#include "tavportsvc/core/port_entries.h"

#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win32_errors.h"
#include "tavportsvc/core/port_link_rules.h"
#include "tavportsvc/core/port_link_value.h"

namespace tav {

PlatformHandle OpenPortKey(PassContext& ctx, PlatformHandle set,
                           const DeviceInterfaceData& interfaceData, uint32_t access,
                           uint32_t* error) {
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    DevInfoData devInfo;
    if (!devices.GetInterfaceDevInfo(set, interfaceData, &devInfo)) {
        uint32_t code = GetLastErrorCode();
        if (code != kErrorInsufficientBuffer) {
            ctx.trace.Emit(TraceModule::kService, service_event::kPortDevInfoFailed,
                           kTraceLevelError, code);
            *error = code;
            return kInvalidHandleValue;
        }
    }
    PlatformHandle key = devices.OpenDevRegKey(set, devInfo, kDicsFlagGlobal, 0, kDiregDev, access);
    if (key == kInvalidHandleValue) {
        *error = GetLastErrorCode();
        ctx.trace.Emit(TraceModule::kService, service_event::kPortKeyOpenFailed, kTraceLevelError,
                       *error);
    }
    return key;
}

uint32_t ReadPortLink(RegistryApi& registry, PlatformHandle portKey, PortLinkBuffer& link) {
    for (char16_t& unit : link)
        unit = 0;
    uint32_t size = kLinkReadLimitBytes;
    uint32_t status =
        registry.GetValue(portKey, kLinkSubKey, kLinkValueName, kRrfRtRegSz, nullptr, link, &size);
    if (status == kErrorFileNotFound) {
        link[0] = 0;
        return kErrorSuccess;
    }
    return status;
}

int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& /*devicePath*/,
                 PlatformHandle devInfoSet, const DeviceInterfaceData& interfaceData) {
    uint32_t error = kErrorSuccess;
    PlatformHandle key = OpenPortKey(ctx, devInfoSet, interfaceData, kPortKeyAccess, &error);
    if (key == kInvalidHandleValue)
        return 1;
    RegistryApi& registry = *ctx.platform.registry;
    PortLinkBuffer link;
    uint32_t status = ReadPortLink(registry, key, link);
    if (status != kErrorSuccess) {
        ctx.trace.Emit(TraceModule::kService, service_event::kPortLinkUnreadable, kTraceLevelError,
                       status);
        registry.CloseKey(key);
        return 1;
    }
    if (!list.AppendDeviceEntry(link, key))
        registry.CloseKey(key);
    return 1;
}

int AddPrinterEntry(PassContext& /*ctx*/, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle /*devInfoSet*/, const DeviceInterfaceData& /*interfaceData*/) {
    list.AppendDeviceEntry(devicePath.c_str(), kNoHandle);
    return 1;
}

uint32_t WalkPorts(PassContext& ctx, const InterfaceVisit& visit) {
    return ForEachDeviceInterface(ctx, kGuidDevinterfaceComport, kPortPrefixes, visit, false);
}

uint32_t EnumeratePorts(PassContext& ctx, DeviceEntryList& ports) {
    return ForEachDeviceInterface(ctx, kGuidDevinterfaceComport, kPortPrefixes, AddPortEntry, ports,
                                  false);
}

uint32_t EnumeratePrinters(PassContext& ctx, DeviceEntryList& printers) {
    return ForEachDeviceInterface(ctx, kPrinterInterfaceClass, nullptr, AddPrinterEntry, printers,
                                  true);
}

}  // namespace tav
