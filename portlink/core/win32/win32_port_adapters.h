#pragma once
// The port link core's platform interfaces over Win32: one Windows call per method (the
// detail record read and the driver update call also manage their buffer or function
// pointer), no decisions. Portable: no Windows header here.

#include "portlink/core/port_link_platform.h"

namespace tav::portsvc {

// Every SetupDi call of the service; one kind of device information set for all of them.
class Win32SetupDi : public SetupDiApi {
  public:
    PlatformHandle GetClassDevs(const Guid& interfaceClass, uint32_t flags) override;
    bool EnumDeviceInterfaces(PlatformHandle set, const Guid& interfaceClass, uint32_t index,
                              win::DeviceInterfaceData* data) override;
    uint32_t GetInterfaceDetailSize(PlatformHandle set,
                                    const win::DeviceInterfaceData& data) override;
    bool GetInterfacePath(PlatformHandle set, const win::DeviceInterfaceData& data, uint32_t size,
                          std::u16string* path) override;
    bool GetInterfaceDevInfo(PlatformHandle set, const win::DeviceInterfaceData& data,
                             win::DevInfoData* devInfo) override;
    PlatformHandle OpenDevRegKey(PlatformHandle set, const win::DevInfoData& devInfo,
                                 uint32_t scope, uint32_t hwProfile, uint32_t keyType,
                                 uint32_t access) override;
    bool GetInfClass(const char16_t* infPath, Guid* classGuid, char16_t* className,
                     uint32_t classNameUnits, uint32_t* requiredSize) override;
    PlatformHandle CreateDeviceInfoList(const Guid& classGuid) override;
    bool CreateDeviceInfo(PlatformHandle set, const char16_t* deviceName, const Guid& classGuid,
                          uint32_t flags, win::DevInfoData* out) override;
    bool SetDeviceRegistryProperty(PlatformHandle set, win::DevInfoData* devInfo, uint32_t property,
                                   const void* data, uint32_t size) override;
    bool CallClassInstaller(uint32_t difCode, PlatformHandle set,
                            win::DevInfoData* devInfo) override;
    bool DestroyDeviceInfoList(PlatformHandle set) override;
};

// The service's one registry adapter: the port links and the host's registration both use it.
class Win32Registry : public RegistryApi {
  public:
    uint32_t OpenKey(PlatformHandle key, const std::u16string& subKey, uint32_t access,
                     PlatformHandle& result) override;
    uint32_t CreateKey(PlatformHandle key, const std::u16string& subKey, uint32_t options,
                       uint32_t access, PlatformHandle& result, uint32_t* disposition) override;
    uint32_t GetValue(PlatformHandle key, const std::u16string& subKey,
                      const std::u16string& valueName, uint32_t flags, uint32_t* type, void* data,
                      uint32_t* dataSize) override;
    uint32_t SetValue(PlatformHandle key, const std::u16string& valueName, uint32_t type,
                      const void* data, uint32_t dataSize) override;
    uint32_t DeleteValue(PlatformHandle key, const std::u16string& valueName) override;
    uint32_t DeleteKey(PlatformHandle key, const std::u16string& subKey) override;
    uint32_t CountSubkeys(PlatformHandle key, uint32_t& count) override;
    uint32_t CloseKey(PlatformHandle key) override;
};

class Win32Sync : public SyncApi {
  public:
    PlatformHandle CreateUnnamedEvent(bool manualReset, bool initialState) override;
    uint32_t WaitForObject(PlatformHandle handle, uint32_t milliseconds) override;
    bool SignalEvent(PlatformHandle handle) override;
    PlatformHandle OpenNamedMutex(uint32_t access, bool inherit, const char16_t* name) override;
    bool ReleaseOwnedMutex(PlatformHandle handle) override;
    bool CloseObject(PlatformHandle handle) override;
};

class Win32ShellFolder : public ShellFolderApi {
  public:
    bool GetProgramFilesX86(char16_t* path) override;
};

class Win32DeviceInstaller : public DeviceInstallApi {
  public:
    uint32_t FullPathName(const char16_t* path, uint32_t bufferUnits, char16_t* buffer) override;
    uint32_t FileAttributes(const char16_t* path) override;
    PlatformHandle LoadModule(const char16_t* name) override;
    void* FindExport(PlatformHandle module, const char* name) override;
    bool UnloadModule(PlatformHandle module) override;
    bool UpdateDriverForPnpDevices(void* proc, const char16_t* hardwareId, const char16_t* infPath,
                                   uint32_t flags, bool* rebootRequired) override;
};

class Win32DeviceNotify : public DeviceNotifyApi {
  public:
    PlatformHandle RegisterInterfaceNotification(PlatformHandle serviceStatusHandle,
                                                 const Guid& interfaceClass) override;
    bool UnregisterNotification(PlatformHandle notification) override;
};

class Win32TraceBackEnd : public TraceBackEnd {
  public:
    uint32_t RegisterProvider(const Guid& controlGuid, TraceControlRecord* record,
                              uint64_t* registration) override;
    uint32_t Message(uint64_t logger, uint32_t messageFlags, const Guid& messageGuid,
                     uint16_t number, uint8_t level, const TraceArg* args, size_t count) override;
    uint32_t UnregisterProvider(uint64_t registration) override;
};

class Win32EventLog : public EventLogApi {
  public:
    PlatformHandle RegisterSource(const char16_t* source) override;
    bool Report(PlatformHandle source, uint16_t type, uint32_t messageId,
                const char16_t* const* strings, uint16_t count) override;
    bool DeregisterSource(PlatformHandle source) override;
    std::u16string ErrorText(uint32_t error) override;
};

// All adapters of the service in one object; Platform() is what PortLinkCore takes.
class Win32PortLinkPlatform {
  public:
    PortLinkPlatform Platform();

  private:
    Win32SetupDi m_setupDi;
    Win32Registry m_registry;
    Win32Sync m_sync;
    Win32ShellFolder m_shell;
    Win32DeviceInstaller m_installer;
    Win32DeviceNotify m_notify;
    Win32TraceBackEnd m_trace;
    Win32EventLog m_eventLog;
};

}  // namespace tav::portsvc
