// Restarting the device that owns an interface: disable, then up to three enables.

#include "printer/link/device_setup.h"
#include "printer/link/interface_detail.h"
#include "printer/link/printer_link.h"

namespace tav::setup {
namespace {

constexpr int kEnableTries = 3;
constexpr uint32_t kPauseAfterEnableMs = 500;

win::PropChangeParams StateChange(uint32_t stateChange, uint32_t scope) {
    win::PropChangeParams params;
    params.stateChange = stateChange;
    params.scope = scope;
    params.hwProfile = 0;  // the current profile
    return params;
}

int SetAndCallInstaller(DeviceSetup& setup, Handle set, win::DevInfoData& device,
                        const win::PropChangeParams& params) {
    if (!setup.SetClassInstallParams(set, device, params, win::kPropChangeParamsSize))
        return 0;
    return setup.CallClassInstaller(win::kDifPropertyChange, set, device);
}

// One enabling try: global scope first (either step failing stops the tries), then the
// configuration-specific scope, whose installer outcome is the try's result.
bool TryEnable(DeviceSetup& setup, Handle set, win::DevInfoData& device, int* pResult) {
    if (!SetAndCallInstaller(setup, set, device,
                             StateChange(win::kDicsEnable, win::kDicsFlagGlobal)))
        return false;
    const win::PropChangeParams params =
        StateChange(win::kDicsEnable, win::kDicsFlagConfigSpecific);
    if (!setup.SetClassInstallParams(set, device, params, win::kPropChangeParamsSize))
        return false;
    *pResult = setup.CallClassInstaller(win::kDifPropertyChange, set, device);
    return true;
}

}  // namespace

int RestartDevice(PrinterPlatform& sys, Handle deviceInfoSet,
                  const win::DeviceInterfaceData& data) {
    win::DevInfoData device;
    if (!ReadInterfaceDetail(sys.setup, deviceInfoSet, data, nullptr, &device))
        return 0;
    // Disabling is best effort: the installer runs even when its parameters were refused.
    const win::PropChangeParams disable =
        StateChange(win::kDicsDisable, win::kDicsFlagConfigSpecific);
    sys.setup.SetClassInstallParams(deviceInfoSet, device, disable, win::kPropChangeParamsSize);
    sys.setup.CallClassInstaller(win::kDifPropertyChange, deviceInfoSet, device);
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

}  // namespace tav::setup
