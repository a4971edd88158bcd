#pragma once
// DeviceSetup over SetupAPI: one Windows call per method.

#include "tavsetup/printer_link/device_setup.h"

namespace tav {

class Win32DeviceSetup : public DeviceSetup {
  public:
    Handle GetClassDevs(const Guid& classGuid, uint32_t flags) override;
    int EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                             DeviceInterfaceData& data) override;
    int GetDeviceInterfaceDetail(Handle set, const DeviceInterfaceData& data, uint8_t* detail,
                                 uint32_t detailSize, uint32_t* pRequiredSize,
                                 DeviceInfoData* pDevice) override;
    int SetClassInstallParams(Handle set, DeviceInfoData& device, const PropChangeParams& params,
                              uint32_t size) override;
    int CallClassInstaller(uint32_t installFunction, Handle set, DeviceInfoData& device) override;
    int DestroyDeviceInfoList(Handle set) override;
};

}  // namespace tav
