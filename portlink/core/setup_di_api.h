#pragma once
// Every SetupDi call the service makes. A device information set is one kind of object
// whichever call made it: the interface walk's sets and the port creation's set are
// destroyed through the same DestroyDeviceInfoList. Failures leave the reason in the
// thread's last error, as SetupAPI does.

#include <string>

#include "portlink/core/platform_types.h"

namespace tav::portsvc {

class SetupDiApi {
  public:
    virtual ~SetupDiApi() = default;

    // SetupDiGetClassDevsW(class, no enumerator, no window, flags); win::kInvalidHandleValue on
    // failure.
    [[nodiscard]] virtual PlatformHandle GetClassDevs(const Guid& interfaceClass,
                                                      uint32_t flags) = 0;
    // SetupDiEnumDeviceInterfaces; fails with ERROR_NO_MORE_ITEMS past the end.
    [[nodiscard]] virtual bool EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass,
                                                    uint32_t index,
                                                    win::DeviceInterfaceData* data) = 0;
    // SetupDiGetDeviceInterfaceDetailW with no buffer: the required size of the detail
    // record, 0 when the call reported none.
    [[nodiscard]] virtual uint32_t GetInterfaceDetailSize(PlatformHandle set,
                                                          const win::DeviceInterfaceData& data) = 0;
    // A detail record of `size` bytes (GlobalAlloc GMEM_FIXED, size field set to the fixed
    // part), the detail call, the device path copied out, the record freed. False when the
    // allocation or the call failed.
    [[nodiscard]] virtual bool GetInterfacePath(PlatformHandle set,
                                                const win::DeviceInterfaceData& data, uint32_t size,
                                                std::u16string* path) = 0;
    // SetupDiGetDeviceInterfaceDetailW with no detail buffer and a SP_DEVINFO_DATA out:
    // normally false with ERROR_INSUFFICIENT_BUFFER and the device data filled in.
    [[nodiscard]] virtual bool GetInterfaceDevInfo(PlatformHandle set,
                                                   const win::DeviceInterfaceData& data,
                                                   win::DevInfoData* devInfo) = 0;
    // SetupDiOpenDevRegKey; win::kInvalidHandleValue on failure. The key is closed through
    // RegistryApi::CloseKey.
    [[nodiscard]] virtual PlatformHandle OpenDevRegKey(PlatformHandle set,
                                                       const win::DevInfoData& devInfo,
                                                       uint32_t scope, uint32_t hwProfile,
                                                       uint32_t keyType, uint32_t access) = 0;

    // SetupDiGetINFClassW(infPath, classGuid, className, classNameUnits, requiredSize).
    [[nodiscard]] virtual bool GetInfClass(const char16_t* infPath, Guid* classGuid,
                                           char16_t* className, uint32_t classNameUnits,
                                           uint32_t* requiredSize) = 0;
    // SetupDiCreateDeviceInfoList(classGuid, no window); win::kInvalidHandleValue on failure.
    [[nodiscard]] virtual PlatformHandle CreateDeviceInfoList(const Guid& classGuid) = 0;
    // SetupDiCreateDeviceInfoW(set, name, classGuid, no description, no window, flags, out).
    [[nodiscard]] virtual bool CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName,
                                                const Guid& classGuid, uint32_t flags,
                                                win::DevInfoData* out) = 0;
    // SetupDiSetDeviceRegistryPropertyW.
    [[nodiscard]] virtual bool SetDeviceRegistryProperty(PlatformHandle set,
                                                         win::DevInfoData* devInfo,
                                                         uint32_t property, const void* data,
                                                         uint32_t size) = 0;
    // SetupDiCallClassInstaller.
    [[nodiscard]] virtual bool CallClassInstaller(uint32_t difCode, PlatformHandle set,
                                                  win::DevInfoData* devInfo) = 0;

    // SetupDiDestroyDeviceInfoList, for a set from any of the calls above.
    virtual bool DestroyDeviceInfoList(PlatformHandle set) = 0;
};

}  // namespace tav::portsvc
