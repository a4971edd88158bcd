#pragma once
// SetupAPI as the utility needs it: the interfaces of one class, their paths and owning
// devices, and the class installer's property change (disable / enable a device) for the
// discovery; the devices of a setup class named by its name for the PnP refresh.
// Results are Windows' own: TRUE/FALSE with the thread's last error (259 after the last
// interface or device, 122 from the detail size query).

#include <cstdint>

#include "printer/link/platform.h"
#include "shared/guid.h"
#include "shared/win/setup_api.h"

namespace tav::setup {

class DeviceSetup {
  public:
    virtual ~DeviceSetup() = default;

    // SetupDiClassGuidsFromNameW: up to `capacity` GUIDs of the setup classes called
    // `className`, *pRequired how many there are. A name no class carries gives TRUE and 0.
    virtual int ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                                   uint32_t* pRequired) = 0;
    // SetupDiGetClassDevsW(class, no enumerator, no window, flags). win::kNoHandle on failure.
    virtual Handle GetClassDevs(const Guid& classGuid, uint32_t flags) = 0;
    // SetupDiEnumDeviceInfo(set, index, device).
    virtual int EnumDeviceInfo(Handle set, uint32_t index, win::DevInfoData& device) = 0;
    // SetupDiEnumDeviceInterfaces(set, no device, class, index, data).
    virtual int EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                                     win::DeviceInterfaceData& data) = 0;
    // SetupDiGetDeviceInterfaceDetailW. With no buffer: FALSE, 122 and *pRequiredSize. With a
    // buffer of that size: the path at win::kInterfaceDetailPathOffset and, if asked, the owner.
    virtual int GetDeviceInterfaceDetail(Handle set, const win::DeviceInterfaceData& data,
                                         uint8_t* detail, uint32_t detailSize,
                                         uint32_t* pRequiredSize, win::DevInfoData* pDevice) = 0;
    // SetupDiSetClassInstallParamsW(set, device, &params header, size).
    virtual int SetClassInstallParams(Handle set, win::DevInfoData& device,
                                      const win::PropChangeParams& params, uint32_t size) = 0;
    // SetupDiCallClassInstaller(installFunction, set, device).
    virtual int CallClassInstaller(uint32_t installFunction, Handle set,
                                   win::DevInfoData& device) = 0;
    // SetupDiDestroyDeviceInfoList.
    virtual int DestroyDeviceInfoList(Handle set) = 0;
};

}  // namespace tav::setup
