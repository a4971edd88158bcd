#pragma once
// The consoles' host calls and console over Win32: one Windows call per method (the error text
// is trimmed of its line break), no decisions.

#include "portlink/tool_host_api.h"

namespace tav::portlink {

class Win32ToolHost : public ToolHostApi {
  public:
    bool GetDeviceInstanceId(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                             std::u16string* instanceId) override;
    bool IsAdministrator() override;
    std::string ErrorText(uint32_t error) override;
};

// Writes UTF-16 to a console window and UTF-8 to a file or pipe.
class Win32Console : public ToolConsole {
  public:
    void Out(const std::string& utf8) override;
    void Err(const std::string& utf8) override;
    bool ReadLine(std::string* line) override;
};

}  // namespace tav::portlink
