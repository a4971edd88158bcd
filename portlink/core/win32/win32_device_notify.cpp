#include "portlink/core/win32/win32_types.h"
// (windows.h first)
#include <dbt.h>

#include "portlink/core/win32/win32_port_adapters.h"

namespace tav::portsvc {

PlatformHandle Win32DeviceNotify::RegisterInterfaceNotification(PlatformHandle serviceStatusHandle,
                                                                const Guid& interfaceClass) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = ToWin32Guid(interfaceClass);
    filter.dbcc_name[0] = 0;
    return ToHandle(::RegisterDeviceNotificationW(FromHandle<HANDLE>(serviceStatusHandle), &filter,
                                                  DEVICE_NOTIFY_SERVICE_HANDLE));
}

bool Win32DeviceNotify::UnregisterNotification(PlatformHandle notification) {
    return ::UnregisterDeviceNotification(FromHandle<HDEVNOTIFY>(notification)) != FALSE;
}

}  // namespace tav::portsvc
