#include "portlink/core/interface_walk.h"

#include <new>

#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::portsvc {

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

// One index of the walk; false ends it, with `*error` set when a call failed.
bool VisitIndex(PassContext& ctx, PlatformHandle set, const Guid& interfaceClass, uint32_t index,
                const char16_t* const* prefixes, const InterfaceVisit& visit, uint32_t* error) {
    SetupDiApi& setupDi = *ctx.platform.setupDi;
    win::DeviceInterfaceData data;
    if (!setupDi.EnumDeviceInterfaces(set, interfaceClass, index, &data)) {
        uint32_t code = GetLastErrorCode();
        if (code != win::kErrorNoMoreItems) {
            ctx.trace.Emit<device_event::kEnumerationFailed>(code);
            *error = code;
        }
        return false;
    }
    uint32_t size = setupDi.GetInterfaceDetailSize(set, data);
    if (size == 0) {
        *error = GetLastErrorCode();
        return false;
    }
    std::u16string path;
    if (!setupDi.GetInterfacePath(set, data, size, &path)) {
        *error = GetLastErrorCode();
        return false;
    }
    int goOn = 1;
    if (PassesPrefixFilter(prefixes, path))
        goOn = visit(path, set, data);
    return goOn != 0;
}

// VisitIndex, except that an allocation failing for this interface (its path, its entry)
// leaves the interface out and the walk goes on with the next one.
bool VisitIndexOrLeaveOut(PassContext& ctx, PlatformHandle set, const Guid& interfaceClass,
                          uint32_t index, const char16_t* const* prefixes,
                          const InterfaceVisit& visit, uint32_t* error) {
    try {
        return VisitIndex(ctx, set, interfaceClass, index, prefixes, visit, error);
    } catch (const std::bad_alloc&) {
        return true;
    }
}

}  // namespace

uint32_t ForEachDeviceInterface(PassContext& ctx, const Guid& interfaceClass,
                                const char16_t* const* prefixes, const InterfaceVisit& visit,
                                bool presentOnly) {
    if (!visit)
        return win::kErrorSuccess;
    SetupDiApi& setupDi = *ctx.platform.setupDi;
    uint32_t flags = win::kDigcfDeviceInterface | (presentOnly ? win::kDigcfPresent : 0);
    OwnedDeviceInfoSet set(setupDi, setupDi.GetClassDevs(interfaceClass, flags));
    if (!set) {
        uint32_t error = GetLastErrorCode();
        ctx.trace.Emit<device_event::kEnumerationFailed>(error);
        return error;
    }
    uint32_t error = win::kErrorSuccess;
    for (uint32_t index = 0; index < kMaxInterfacesPerWalk; ++index) {
        if (!VisitIndexOrLeaveOut(ctx, set.get(), interfaceClass, index, prefixes, visit, &error))
            break;
    }
    return error;
}

uint32_t ForEachDeviceInterface(PassContext& ctx, const Guid& interfaceClass,
                                const char16_t* const* prefixes, InterfaceVisitor visitor,
                                DeviceEntryList& list, bool presentOnly) {
    if (!visitor)
        return win::kErrorSuccess;
    // One reference captured keeps the std::function within its own storage: the pass
    // allocates nothing here that could throw.
    struct Bound {
        PassContext& ctx;
        DeviceEntryList& list;
        InterfaceVisitor visitor;
    } bound{ctx, list, visitor};
    return ForEachDeviceInterface(
        ctx, interfaceClass, prefixes,
        [&bound](const std::u16string& path, PlatformHandle set,
                 const win::DeviceInterfaceData& data) {
            return bound.visitor(bound.ctx, bound.list, path, set, data);
        },
        presentOnly);
}

}  // namespace tav::portsvc
