// Pins shared/win/setup_api.h to the SDK's values and layouts.
#include <windows.h>
// (after windows.h)
#include <newdev.h>
#include <setupapi.h>

#include <cstddef>

#include "shared/win/setup_api.h"

namespace tav::win {

static_assert(kDigcfPresent == DIGCF_PRESENT, "DIGCF_PRESENT");
static_assert(kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE, "DIGCF_DEVICEINTERFACE");
static_assert(kDifPropertyChange == DIF_PROPERTYCHANGE, "DIF_PROPERTYCHANGE");
static_assert(kDifRegisterDevice == DIF_REGISTERDEVICE, "DIF_REGISTERDEVICE");
static_assert(kDicsEnable == DICS_ENABLE, "DICS_ENABLE");
static_assert(kDicsDisable == DICS_DISABLE, "DICS_DISABLE");
static_assert(kDicsFlagGlobal == DICS_FLAG_GLOBAL, "DICS_FLAG_GLOBAL");
static_assert(kDicsFlagConfigSpecific == DICS_FLAG_CONFIGSPECIFIC, "DICS_FLAG_CONFIGSPECIFIC");
static_assert(kDiregDev == DIREG_DEV, "DIREG_DEV");
static_assert(kDicdGenerateId == DICD_GENERATE_ID, "DICD_GENERATE_ID");
static_assert(kSpdrpHardwareId == SPDRP_HARDWAREID, "SPDRP_HARDWAREID");
static_assert(kInstallFlagForce == INSTALLFLAG_FORCE, "INSTALLFLAG_FORCE");
static_assert(kInstallFlagNonInteractive == INSTALLFLAG_NONINTERACTIVE,
              "INSTALLFLAG_NONINTERACTIVE");

static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == kInterfaceDetailRecordSize,
              "SP_DEVICE_INTERFACE_DETAIL_DATA_W size");
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) == kInterfaceDetailPathOffset,
              "SP_DEVICE_INTERFACE_DETAIL_DATA_W.DevicePath");
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == kPropChangeParamsSize, "SP_PROPCHANGE_PARAMS size");
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8, "SP_CLASSINSTALL_HEADER size");
static_assert(sizeof(PropChangeParams) == sizeof(SP_PROPCHANGE_PARAMS), "PropChangeParams size");
static_assert(offsetof(PropChangeParams, stateChange) ==
                  offsetof(SP_PROPCHANGE_PARAMS, StateChange),
              "SP_PROPCHANGE_PARAMS.StateChange");
static_assert(offsetof(PropChangeParams, hwProfile) == offsetof(SP_PROPCHANGE_PARAMS, HwProfile),
              "SP_PROPCHANGE_PARAMS.HwProfile");
static_assert(sizeof(DeviceInterfaceData::reserved) == sizeof(SP_DEVICE_INTERFACE_DATA::Reserved),
              "SP_DEVICE_INTERFACE_DATA.Reserved");
static_assert(sizeof(DevInfoData::reserved) == sizeof(SP_DEVINFO_DATA::Reserved),
              "SP_DEVINFO_DATA.Reserved");

}  // namespace tav::win
