#pragma once
// SetupAPI flags, records and the driver installer's flags, as both programs pass them.

#include <cstdint>

#include "shared/guid.h"

namespace tav::win {

// SetupDiGetClassDevsW flags.
inline constexpr uint32_t kDigcfPresent = 0x02;
inline constexpr uint32_t kDigcfDeviceInterface = 0x10;

// Class installer functions.
inline constexpr uint32_t kDifPropertyChange = 0x12;
inline constexpr uint32_t kDifRegisterDevice = 0x19;

// SP_PROPCHANGE_PARAMS state changes and scopes.
inline constexpr uint32_t kDicsEnable = 1;
inline constexpr uint32_t kDicsDisable = 2;
inline constexpr uint32_t kDicsFlagGlobal = 1;
inline constexpr uint32_t kDicsFlagConfigSpecific = 2;

// SetupDiOpenDevRegKey key type, SetupDiCreateDeviceInfoW flag, registry property.
inline constexpr uint32_t kDiregDev = 0x01;
inline constexpr uint32_t kDicdGenerateId = 0x01;
inline constexpr uint32_t kSpdrpHardwareId = 0x01;

// UpdateDriverForPlugAndPlayDevicesW flags.
inline constexpr uint32_t kInstallFlagForce = 0x01;
inline constexpr uint32_t kInstallFlagNonInteractive = 0x04;

// SP_DEVICE_INTERFACE_DETAIL_DATA_W: a 32-bit size field, then the NUL-terminated path.
inline constexpr uint32_t kInterfaceDetailPathOffset = 4;
// What its size field must hold: the record's size in this program's SDK, 6 in a 32-bit
// program (packed to one byte) and 8 in a 64-bit one; SetupAPI refuses any other.
inline constexpr uint32_t kInterfaceDetailRecordSize = sizeof(void*) == 8 ? 8 : 6;

// SP_DEVICE_INTERFACE_DATA without its size field: identifies one interface inside a set.
struct DeviceInterfaceData {
    Guid interfaceClassGuid{};
    uint32_t flags = 0;
    uintptr_t reserved = 0;
};

// SP_DEVINFO_DATA without its size field: identifies one device inside a set.
struct DevInfoData {
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

}  // namespace tav::win
