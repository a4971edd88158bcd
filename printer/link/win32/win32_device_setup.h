#pragma once
// DeviceSetup over SetupAPI: one Windows call per method.

#include "printer/link/device_setup.h"

namespace tav::setup {

class Win32DeviceSetup : public DeviceSetup {
  public:
    int ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                           uint32_t* pRequired) override;
    Handle GetClassDevs(const Guid& classGuid, uint32_t flags) override;
    int EnumDeviceInfo(Handle set, uint32_t index, win::DevInfoData& device) override;
    int EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                             win::DeviceInterfaceData& data) override;
    int GetDeviceInterfaceDetail(Handle set, const win::DeviceInterfaceData& data, uint8_t* detail,
                                 uint32_t detailSize, uint32_t* pRequiredSize,
                                 win::DevInfoData* pDevice) override;
    int SetClassInstallParams(Handle set, win::DevInfoData& device,
                              const win::PropChangeParams& params, uint32_t size) override;
    int CallClassInstaller(uint32_t installFunction, Handle set, win::DevInfoData& device) override;
    int DestroyDeviceInfoList(Handle set) override;
};

}  // namespace tav::setup
