#pragma once
// Device-interface notifications delivered to a service as SERVICE_CONTROL_DEVICEEVENT.

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class DeviceNotifyApi {
  public:
    virtual ~DeviceNotifyApi() = default;

    // RegisterDeviceNotificationW(statusHandle, DEV_BROADCAST_DEVICEINTERFACE_W of
    // `interfaceClass`, DEVICE_NOTIFY_SERVICE_HANDLE); win::kNoHandle on failure.
    virtual PlatformHandle RegisterInterfaceNotification(PlatformHandle serviceStatusHandle,
                                                         const Guid& interfaceClass) = 0;
    // UnregisterDeviceNotification.
    virtual bool UnregisterNotification(PlatformHandle notification) = 0;
};

}  // namespace tav::portsvc
