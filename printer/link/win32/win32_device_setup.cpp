#include "printer/link/win32/win32_device_setup.h"

#include <windows.h>

#include <setupapi.h>  // needs windows.h first

#include <cstddef>

#include "printer/link/win32/native_handle.h"
#include "shared/win32/wide.h"

namespace tav::setup {
namespace {

SP_DEVICE_INTERFACE_DATA ToNative(const win::DeviceInterfaceData& data) {
    SP_DEVICE_INTERFACE_DATA native{};
    native.cbSize = sizeof native;
    native.InterfaceClassGuid = tav::setup::ToNative(data.interfaceClassGuid);
    native.Flags = data.flags;
    native.Reserved = data.reserved;
    return native;
}

win::DeviceInterfaceData FromNative(const SP_DEVICE_INTERFACE_DATA& native) {
    win::DeviceInterfaceData data;
    data.interfaceClassGuid = tav::setup::FromNative(native.InterfaceClassGuid);
    data.flags = native.Flags;
    data.reserved = native.Reserved;
    return data;
}

SP_DEVINFO_DATA ToNative(const win::DevInfoData& device) {
    SP_DEVINFO_DATA native{};
    native.cbSize = sizeof native;
    native.ClassGuid = tav::setup::ToNative(device.classGuid);
    native.DevInst = device.devInst;
    native.Reserved = device.reserved;
    return native;
}

win::DevInfoData FromNative(const SP_DEVINFO_DATA& native) {
    win::DevInfoData device;
    device.classGuid = tav::setup::FromNative(native.ClassGuid);
    device.devInst = native.DevInst;
    device.reserved = native.Reserved;
    return device;
}

HDEVINFO SetOf(Handle set) {
    return reinterpret_cast<HDEVINFO>(set);
}

}  // namespace

int Win32DeviceSetup::ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                                         uint32_t* pRequired) {
    // Guid has GUID's layout (native_handle.h), so the caller's array takes the list as is.
    DWORD required = 0;
    const BOOL ok = ::SetupDiClassGuidsFromNameW(AsWide(className), reinterpret_cast<GUID*>(guids),
                                                 capacity, &required);
    if (pRequired)
        *pRequired = required;
    return ok;
}

Handle Win32DeviceSetup::GetClassDevs(const Guid& classGuid, uint32_t flags) {
    const GUID native = tav::setup::ToNative(classGuid);
    return FromNativeOrInvalid(::SetupDiGetClassDevsW(&native, nullptr, nullptr, flags));
}

int Win32DeviceSetup::EnumDeviceInfo(Handle set, uint32_t index, win::DevInfoData& device) {
    SP_DEVINFO_DATA native{};
    native.cbSize = sizeof native;
    const BOOL ok = ::SetupDiEnumDeviceInfo(SetOf(set), index, &native);
    device = FromNative(native);
    return ok;
}

int Win32DeviceSetup::EnumDeviceInterfaces(Handle set, const Guid& classGuid, uint32_t index,
                                           win::DeviceInterfaceData& data) {
    const GUID native = tav::setup::ToNative(classGuid);
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    const BOOL ok =
        ::SetupDiEnumDeviceInterfaces(SetOf(set), nullptr, &native, index, &interfaceData);
    data = FromNative(interfaceData);
    return ok;
}

int Win32DeviceSetup::GetDeviceInterfaceDetail(Handle set, const win::DeviceInterfaceData& data,
                                               uint8_t* detail, uint32_t detailSize,
                                               uint32_t* pRequiredSize, win::DevInfoData* pDevice) {
    SP_DEVICE_INTERFACE_DATA interfaceData = ToNative(data);
    // The caller has set the record's size field (win::kInterfaceDetailRecordSize).
    auto* record = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detail);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD required = 0;
    const BOOL ok = ::SetupDiGetDeviceInterfaceDetailW(
        SetOf(set), &interfaceData, record, detailSize, &required, pDevice ? &device : nullptr);
    if (pRequiredSize)
        *pRequiredSize = required;
    if (pDevice)
        *pDevice = FromNative(device);
    return ok;
}

int Win32DeviceSetup::SetClassInstallParams(Handle set, win::DevInfoData& device,
                                            const win::PropChangeParams& params, uint32_t size) {
    SP_DEVINFO_DATA native = ToNative(device);
    SP_PROPCHANGE_PARAMS change{};
    change.ClassInstallHeader.cbSize = params.headerSize;
    change.ClassInstallHeader.InstallFunction = params.installFunction;
    change.StateChange = params.stateChange;
    change.Scope = params.scope;
    change.HwProfile = params.hwProfile;
    return ::SetupDiSetClassInstallParamsW(SetOf(set), &native, &change.ClassInstallHeader, size);
}

int Win32DeviceSetup::CallClassInstaller(uint32_t installFunction, Handle set,
                                         win::DevInfoData& device) {
    SP_DEVINFO_DATA native = ToNative(device);
    return ::SetupDiCallClassInstaller(installFunction, SetOf(set), &native);
}

int Win32DeviceSetup::DestroyDeviceInfoList(Handle set) {
    return ::SetupDiDestroyDeviceInfoList(SetOf(set));
}

}  // namespace tav::setup
