#pragma once
// What the consoles need beyond the port link core's platform: a device's instance ID, the
// caller's rights, the text of an error code, and the console. Failures leave the reason in
// the thread's last error, as Windows does.

#include <string>

#include "portlink/core/platform_types.h"

namespace tav::portlink {

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
