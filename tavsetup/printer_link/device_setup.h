#pragma once
// SetupAPI as the discovery needs it: the interfaces of one class, their paths and owning
// devices, and the class installer's property change (disable / enable a device).
// Results are Windows' own: TRUE/FALSE with the thread's last error (259 after the last
// interface, 122 from the detail size query).

#include <cstdint>

#include "shared/guid.h"
#include "shared/setup_api.h"
#include "tavsetup/printer_link/platform.h"

namespace tav {

// DIGCF_*, DIF_PROPERTYCHANGE, DICS_* (own names: the Windows ones are macros).
inline constexpr uint32_t kDifPropertyChange = 0x12;
inline constexpr uint32_t kDicsEnable = 1;
inline constexpr uint32_t kDicsDisable = 2;
inline constexpr uint32_t kDicsFlagGlobal = 1;
inline constexpr uint32_t kDicsFlagConfigSpecific = 2;

// SP_DEVICE_INTERFACE_DETAIL_DATA_W: a 32-bit size field, then the NUL-terminated path.
inline constexpr uint32_t kInterfaceDetailPathOffset = 4;

// SP_DEVICE_INTERFACE_DATA: identifies one interface inside a set.
struct DeviceInterfaceData {
    Guid interfaceClassGuid{};
    uint32_t flags = 0;
    uintptr_t reserved = 0;
};

// SP_DEVINFO_DATA: identifies the device that owns an interface.
struct DeviceInfoData {
    Guid classGuid{};
    uint32_t devInst = 0;
    uintptr_t reserved = 0;
};

// SP_PROPCHANGE_PARAMS with its class-install header {size 8, installFunction}.
struct PropChangeParams {
    uint32_t headerSize = 8;
    uint32_t installFunction = kDifPropertyChange;
    uint32_t stateChange = 0;
    uint32_t scope = 0;
    uint32_t hwProfile = 0;
};
inline constexpr uint32_t kPropChangeParamsSize = 20;

class DeviceSetup {
  public:
    virtual ~DeviceSetup() = default;

    // SetupDiGetClassDevsW(class, no enumerator, no window, flags). kNoHandle on failure.
    virtual Handle GetClassDevs(const Guid& classGuid, uint32_t flags) = 0;
    // SetupDiEnumDeviceInterfaces(set, no device, class, index, data).
    virtual int EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                                     DeviceInterfaceData& data) = 0;
    // SetupDiGetDeviceInterfaceDetailW. With no buffer: FALSE, 122 and *pRequiredSize. With a
    // buffer of that size: the path at kInterfaceDetailPathOffset and, if asked, the owner.
    virtual int GetDeviceInterfaceDetail(Handle set, const DeviceInterfaceData& data,
                                         uint8_t* detail, uint32_t detailSize,
                                         uint32_t* pRequiredSize, DeviceInfoData* pDevice) = 0;
    // SetupDiSetClassInstallParamsW(set, device, &params header, size).
    virtual int SetClassInstallParams(Handle set, DeviceInfoData& device,
                                      const PropChangeParams& params, uint32_t size) = 0;
    // SetupDiCallClassInstaller(installFunction, set, device).
    virtual int CallClassInstaller(uint32_t installFunction, Handle set,
                                   DeviceInfoData& device) = 0;
    // SetupDiDestroyDeviceInfoList.
    virtual int DestroyDeviceInfoList(Handle set) = 0;
};

}  // namespace tav
