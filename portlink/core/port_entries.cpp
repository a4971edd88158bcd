#include "portlink/core/port_entries.h"

#include "portlink/core/port_link_rules.h"
#include "portlink/core/port_link_value.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

OwnedRegistryKey OpenPortKey(PassContext& ctx, PlatformHandle set,
                             const win::DeviceInterfaceData& interfaceData, uint32_t access,
                             uint32_t* error) {
    SetupDiApi& setupDi = *ctx.platform.setupDi;
    win::DevInfoData devInfo;
    if (!setupDi.GetInterfaceDevInfo(set, interfaceData, &devInfo)) {
        uint32_t code = GetLastErrorCode();
        if (code != win::kErrorInsufficientBuffer) {
            ctx.trace.Emit<service_event::kPortDevInfoFailed>(code);
            *error = code;
            return {};
        }
    }
    PlatformHandle key =
        setupDi.OpenDevRegKey(set, devInfo, win::kDicsFlagGlobal, 0, win::kDiregDev, access);
    if (key == win::kInvalidHandleValue) {
        *error = GetLastErrorCode();
        ctx.trace.Emit<service_event::kPortKeyOpenFailed>(*error);
        return {};
    }
    return OwnedRegistryKey(*ctx.platform.registry, key);
}

uint32_t ReadPortLink(RegistryApi& registry, PlatformHandle portKey, PortLinkBuffer& link) {
    for (char16_t& unit : link)
        unit = 0;
    uint32_t size = kLinkReadLimitBytes;
    uint32_t status = registry.GetValue(portKey, kLinkSubKey, kLinkValueName, win::kRrfRtRegSz,
                                        nullptr, link, &size);
    if (status == win::kErrorFileNotFound) {
        link[0] = 0;
        return win::kErrorSuccess;
    }
    return status;
}

std::u16string ReadPortComName(RegistryApi& registry, PlatformHandle portKey) {
    constexpr uint32_t kComNameUnits = 64;
    char16_t name[kComNameUnits + 1] = {};
    uint32_t size = kComNameUnits * 2;
    if (registry.GetValue(portKey, {}, u"PortName", win::kRrfRtRegSz, nullptr, name, &size) !=
        win::kErrorSuccess)
        return {};
    return name;
}

int AddPortEntry(PassContext& ctx, DeviceEntryList& list, const std::u16string& /*devicePath*/,
                 PlatformHandle devInfoSet, const win::DeviceInterfaceData& interfaceData) {
    uint32_t error = win::kErrorSuccess;
    OwnedRegistryKey key = OpenPortKey(ctx, devInfoSet, interfaceData, kPortKeyAccess, &error);
    if (!key)
        return 1;
    PortLinkBuffer link;
    uint32_t status = ReadPortLink(*ctx.platform.registry, key.get(), link);
    if (status != win::kErrorSuccess) {
        ctx.trace.Emit<service_event::kPortLinkUnreadable>(status);
        return 1;
    }
    // Out of memory for the entry: the port is left out and its key closed.
    static_cast<void>(list.AppendDeviceEntry(link, std::move(key)));
    return 1;
}

int AddPrinterEntry(PassContext& /*ctx*/, DeviceEntryList& list, const std::u16string& devicePath,
                    PlatformHandle /*devInfoSet*/,
                    const win::DeviceInterfaceData& /*interfaceData*/) {
    // Out of memory for the entry: the printer is left out of this pass.
    static_cast<void>(list.AppendDeviceEntry(devicePath.c_str(), {}));
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

}  // namespace tav::portsvc
