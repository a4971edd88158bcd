#pragma once
// The consoles' host calls and console over Win32: one Windows call per method, with the
// handles and buffers it needs around it (the error text is trimmed of its line break), no
// decisions.

#include "portlink/tool_host_api.h"

namespace tav::portlink {

class Win32ToolHost : public ToolHostApi {
  public:
    bool GetDeviceInstanceId(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                             std::u16string* instanceId) override;
    bool IsAdministrator() override;
    std::string ErrorText(uint32_t error) override;
    portsvc::PlatformHandle CreateNamedMutex(const char16_t* sddl, const char16_t* name) override;
    uint32_t GetDevNodeStatus(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                              uint32_t* status, uint32_t* problem) override;
    bool ComputerName(std::u16string* name) override;
    UtcTime SystemTimeUtc() override;
    bool QueryService(const char16_t* name, uint32_t* state, std::u16string* commandLine) override;
    bool FileVersion(const std::u16string& path, uint16_t parts[4]) override;
    uint32_t WriteNewFile(const std::u16string& path, const std::string& bytes) override;
};

// Writes UTF-16 to a console window and UTF-8 to a file or pipe.
class Win32Console : public ToolConsole {
  public:
    void Out(const std::string& utf8) override;
    void Err(const std::string& utf8) override;
    bool ReadLine(std::string* line) override;
};

}  // namespace tav::portlink
