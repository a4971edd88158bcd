#pragma once
// The start-up's platform over Win32: one Windows call per method.

#include <windows.h>

#include "tavsetup/shell/startup_platform.h"

namespace tav::setup {

class Win32StartupKernel : public StartupKernel {
  public:
    void InitCommonControls(uint32_t size, uint32_t classes) override;
    Handle ConvertSddl(const char16_t* sddl, uint32_t revision) override;
    void FreeSecurityDescriptor(Handle descriptor) override;
    Handle CreateNamedMutex(Handle descriptor, bool initialOwner, const char16_t* name) override;
    uint32_t LastError() override;
    bool ReleaseMutex(Handle mutex) override;
    bool CloseHandle(Handle handle) override;
    bool LookupIsWow64Process() override;
    bool IsWow64Process(int32_t* isWow64) override;

  private:
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    IsWow64ProcessFn m_isWow64Process = nullptr;
};

class Win32StartupWindows : public StartupWindows {
  public:
    std::u16string LoadText(uint32_t id) override;
    WindowRef DesktopWindow() override;
    WindowRef FirstChild(WindowRef window) override;
    WindowRef NextWindow(WindowRef window) override;
    bool HasProperty(WindowRef window, const char16_t* name) override;
    bool IsIconic(WindowRef window) override;
    void Restore(WindowRef window) override;
    WindowRef LastActivePopup(WindowRef window) override;
    void SetForeground(WindowRef window) override;
    WindowRef ForegroundWindow() override;
    int ShowMessageBox(WindowRef owner, const std::u16string& text, const std::u16string& caption,
                       uint32_t style) override;
};

}  // namespace tav::setup
