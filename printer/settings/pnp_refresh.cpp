#include "printer/settings/pnp_refresh.h"

#include "shared/u16.h"

namespace tav::setup {

namespace {

constexpr const char16_t* kRefreshClasses[] = {u"USB", u"Ports"};

// A device ID buffer with room for a terminator even when the system fills all 200 units.
struct DeviceIdBuffer {
    char16_t units[win::kMaxDeviceIdLen + 1] = {};
};

bool ReadDeviceId(PnpManager& pnp, uint32_t devInst, DeviceIdBuffer& id) {
    id = DeviceIdBuffer{};
    return pnp.GetDeviceId(devInst, id.units, win::kMaxDeviceIdLen, 0) == win::kCrSuccess;
}

bool HasPciParent(PnpManager& pnp, uint32_t devInst, DeviceIdBuffer& id) {
    uint32_t parent = 0;
    if (pnp.GetParent(&parent, devInst, 0) != win::kCrSuccess)
        return false;
    if (!ReadDeviceId(pnp, parent, id))
        return false;
    return StartsWithNoCase(id.units, kRefreshParentPrefix);
}

void ReenumerateIfUnderPci(PnpManager& pnp, uint32_t devInst) {
    DeviceIdBuffer id;
    if (!HasPciParent(pnp, devInst, id) || !ReadDeviceId(pnp, devInst, id))
        return;
    uint32_t located = 0;
    if (pnp.LocateDevNode(&located, id.units, win::kCmLocateDevnodeNormal) != win::kCrSuccess)
        return;
    pnp.ReenumerateDevNode(located, win::kCmReenumerateNormal);
}

void RefreshClass(DeviceSetup& setup, PnpManager& pnp, Clock& clock, const char16_t* className) {
    Guid classGuid{};
    uint32_t required = 0;
    // A name no class carries succeeds with no GUID; there is nothing to walk then.
    if (!setup.ClassGuidsFromName(className, &classGuid, 1, &required) || required == 0)
        return;
    const Handle set = setup.GetClassDevs(classGuid, win::kDigcfPresent);
    if (set == win::kNoHandle)
        return;
    const uint32_t start = clock.TickCount();
    win::DevInfoData device;
    for (uint32_t index = 0; setup.EnumDeviceInfo(set, index, device); ++index) {
        if (ElapsedMs(start, clock.TickCount()) > kRefreshClassLimitMs)
            break;
        ReenumerateIfUnderPci(pnp, device.devInst);
    }
    setup.DestroyDeviceInfoList(set);
}

}  // namespace

void RefreshPnpDevices(DeviceSetup& setup, PnpManager& pnp, Clock& clock) {
    for (const char16_t* className : kRefreshClasses)
        RefreshClass(setup, pnp, clock, className);
}

}  // namespace tav::setup
