#pragma once
// Makes the Plug and Play manager walk again the present "USB" and "Ports" devices whose
// parent is a PCI device, so the system's view of USB devices is current before the
// utility looks for the printer. SetupAPI lists the devices of each class, the
// configuration manager walks them. Silent: every failure skips one device or one class.

#include <cstdint>

#include "printer/link/device_setup.h"
#include "printer/settings/pnp_manager.h"
#include "shared/clock.h"

namespace tav::setup {

inline constexpr uint32_t kRefreshClassLimitMs = 10000;
inline constexpr char16_t kRefreshParentPrefix[] = u"PCI";

void RefreshPnpDevices(DeviceSetup& setup, PnpManager& pnp, Clock& clock);

}  // namespace tav::setup
