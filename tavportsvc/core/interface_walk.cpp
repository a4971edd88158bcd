#include "tavportsvc/core/interface_walk.h"

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav {

namespace {

bool PassesPrefixFilter(const char16_t* const* prefixes, const std::u16string& path) {
    if (!prefixes)
        return true;
    for (const char16_t* const* p = prefixes; (*p)[0] != 0; ++p) {
        if (StartsWithNoCase(path, *p))
            return true;
    }
    return false;
}

// One index of the walk; false ends it.
bool VisitIndex(PassContext& ctx, PlatformHandle set, const Guid& interfaceClass, uint32_t index,
                const char16_t* const* prefixes, InterfaceVisitor visitor, DeviceEntryList& list) {
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    win::DeviceInterfaceData data;
    if (!devices.EnumDeviceInterfaces(set, interfaceClass, index, &data)) {
        uint32_t error = GetLastErrorCode();
        if (error != win::kErrorNoMoreItems)
            ctx.trace.Emit(TraceModule::kDevice, device_event::kEnumerationFailed,
                           win::kTraceLevelError, error);
        return false;
    }
    uint32_t size = devices.GetInterfaceDetailSize(set, data);
    if (size == 0)
        return false;
    std::u16string path;
    if (!devices.GetInterfacePath(set, data, size, &path))
        return false;
    int goOn = 1;
    if (PassesPrefixFilter(prefixes, path))
        goOn = visitor(ctx, list, path, set, data);
    return goOn != 0;
}

}  // namespace

void ForEachDeviceInterface(PassContext& ctx, const Guid& interfaceClass,
                            const char16_t* const* prefixes, InterfaceVisitor visitor,
                            DeviceEntryList& list, bool presentOnly) {
    if (!visitor)
        return;
    DeviceInterfaceApi& devices = *ctx.platform.devices;
    uint32_t flags = win::kDigcfDeviceInterface | (presentOnly ? win::kDigcfPresent : 0);
    PlatformHandle set = devices.GetClassDevs(interfaceClass, flags);
    if (set == win::kInvalidHandleValue) {
        ctx.trace.Emit(TraceModule::kDevice, device_event::kEnumerationFailed,
                       win::kTraceLevelError, GetLastErrorCode());
        return;
    }
    for (uint32_t index = 0; index < kMaxInterfacesPerWalk; ++index) {
        if (!VisitIndex(ctx, set, interfaceClass, index, prefixes, visitor, list))
            break;
    }
    devices.DestroyDeviceInfoList(set);
}

}  // namespace tav
