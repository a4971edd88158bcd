#pragma once
// What the consoles need beyond the port link core's platform: a device's instance ID and
// status, the caller's rights, the text of an error code, the utility's mutex, what an
// inventory names (host, time, the service and its file version), a report file, and the
// console. Failures leave the reason in the thread's last error, as Windows does.

#include <cstdint>
#include <string>

#include "portlink/core/platform_types.h"

namespace tav::portlink {

// SYSTEMTIME's date and time fields.
struct UtcTime {
    uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class ToolHostApi {
  public:
    virtual ~ToolHostApi() = default;

    // SetupDiGetDeviceInstanceIdW for the device of an enumerated interface.
    virtual bool GetDeviceInstanceId(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                                     std::u16string* instanceId) = 0;
    // The process token is a member of BUILTIN\Administrators (an elevated token).
    virtual bool IsAdministrator() = 0;
    // FormatMessageW's text for a Win32 error code, without the line break.
    virtual std::string ErrorText(uint32_t error) = 0;

    // CreateMutexW(security from `sddl`, not owned, name): creates the named mutex or opens
    // the one that exists; the descriptor is converted and freed around the call.
    // win::kNoHandle on failure. Waits and releases go through the SyncApi.
    virtual portsvc::PlatformHandle CreateNamedMutex(const char16_t* sddl,
                                                     const char16_t* name) = 0;
    // CM_Get_DevNode_Status for the device of an enumerated interface: a CONFIGRET
    // (CR_NO_SUCH_DEVINST when the device is not present).
    virtual uint32_t GetDevNodeStatus(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                                      uint32_t* status, uint32_t* problem) = 0;
    // GetComputerNameExW(ComputerNameDnsHostname).
    virtual bool ComputerName(std::u16string* name) = 0;
    // GetSystemTime.
    virtual UtcTime SystemTimeUtc() = 0;
    // OpenSCManagerW, OpenServiceW(SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG),
    // QueryServiceStatus and QueryServiceConfigW: the service's state and command line.
    virtual bool QueryService(const char16_t* name, uint32_t* state,
                              std::u16string* commandLine) = 0;
    // GetFileVersionInfoSizeW, GetFileVersionInfoW, VerQueryValueW("\\"): the fixed file
    // version's four parts, most significant first.
    virtual bool FileVersion(const std::u16string& path, uint16_t parts[4]) = 0;
    // CreateFileW(GENERIC_WRITE, CREATE_ALWAYS), WriteFile, CloseHandle: 0 or the error.
    virtual uint32_t WriteNewFile(const std::u16string& path, const std::string& bytes) = 0;
};

class ToolConsole {
  public:
    virtual ~ToolConsole() = default;

    virtual void Out(const std::string& utf8) = 0;
    virtual void Err(const std::string& utf8) = 0;
    // One line typed by the user, without its line end; false at the end of the input.
    virtual bool ReadLine(std::string* line) = 0;
};

}  // namespace tav::portlink
