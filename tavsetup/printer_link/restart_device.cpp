// Restarting the device that owns an interface: disable, then up to three enables.

#include "tavsetup/printer_link/device_setup.h"
#include "tavsetup/printer_link/interface_detail.h"
#include "tavsetup/printer_link/printer_link.h"

namespace tav {
namespace {

constexpr int kEnableTries = 3;
constexpr uint32_t kPauseAfterEnableMs = 500;

PropChangeParams StateChange(uint32_t stateChange, uint32_t scope) {
    PropChangeParams params;
    params.stateChange = stateChange;
    params.scope = scope;
    params.hwProfile = 0;  // the current profile
    return params;
}

int SetAndCallInstaller(DeviceSetup& setup, Handle set, DeviceInfoData& device,
                        const PropChangeParams& params) {
    if (!setup.SetClassInstallParams(set, device, params, kPropChangeParamsSize))
        return 0;
    return setup.CallClassInstaller(kDifPropertyChange, set, device);
}

// One enabling try: global scope first (either step failing stops the tries), then the
// configuration-specific scope, whose installer outcome is the try's result.
bool TryEnable(DeviceSetup& setup, Handle set, DeviceInfoData& device, int* pResult) {
    if (!SetAndCallInstaller(setup, set, device, StateChange(kDicsEnable, kDicsFlagGlobal)))
        return false;
    const PropChangeParams params = StateChange(kDicsEnable, kDicsFlagConfigSpecific);
    if (!setup.SetClassInstallParams(set, device, params, kPropChangeParamsSize))
        return false;
    *pResult = setup.CallClassInstaller(kDifPropertyChange, set, device);
    return true;
}

}  // namespace

int RestartDevice(PrinterPlatform& sys, Handle deviceInfoSet, const DeviceInterfaceData& data) {
    DeviceInfoData device;
    if (!ReadInterfaceDetail(sys.setup, deviceInfoSet, data, nullptr, &device))
        return 0;
    // Disabling is best effort: the installer runs even when its parameters were refused.
    const PropChangeParams disable = StateChange(kDicsDisable, kDicsFlagConfigSpecific);
    sys.setup.SetClassInstallParams(deviceInfoSet, device, disable, kPropChangeParamsSize);
    sys.setup.CallClassInstaller(kDifPropertyChange, deviceInfoSet, device);
    int result = 0;
    for (int attempt = 0; attempt < kEnableTries; ++attempt) {
        if (!TryEnable(sys.setup, deviceInfoSet, device, &result))
            break;
        sys.clock.Sleep(kPauseAfterEnableMs);
        if (result)
            break;
    }
    return result;
}

}  // namespace tav
