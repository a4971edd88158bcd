#pragma once
// tavprinter's kernel calls and console over Win32: one Windows call per method, no
// decisions. Ctrl+C and Ctrl+Break are caught so that the run can let go of what it holds.

#include "tavprinter/tool_platform.h"

namespace tav::tavprinter {

class Win32ToolKernel : public ToolKernel {
  public:
    Win32ToolKernel();
    Handle ConvertSddl(const char16_t* sddl, uint32_t revision) override;
    void FreeSecurityDescriptor(Handle descriptor) override;
    Handle CreateNamedMutex(Handle descriptor, bool initialOwner, const char16_t* name) override;
    uint32_t LastError() override;
    bool ReleaseMutex(Handle mutex) override;
    bool CloseHandle(Handle handle) override;
    bool IsAdministrator() override;
    std::string ErrorText(uint32_t error) override;
    bool CancelRequested() override;
    bool JapaneseInterface() override;
    std::string LocalTimeText() override;
};

class Win32ToolOutput : public ToolOutput {
  public:
    void Out(const std::string& utf8) override;
    void Err(const std::string& utf8) override;
    bool AppendLog(const std::string& path, const std::string& utf8) override;
};

}  // namespace tav::tavprinter
