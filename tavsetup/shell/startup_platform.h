#pragma once
// What the utility's start and exit need of the platform: kernel objects, the window
// manager and the services touched at exit. One Windows call per method.

#include <cstdint>
#include <string>

#include "printer/link/platform.h"

namespace tav::setup {

// An opaque top-level window; 0 is none.
using WindowRef = uintptr_t;

class StartupKernel {
  public:
    virtual ~StartupKernel() = default;
    virtual void InitCommonControls(uint32_t size, uint32_t classes) = 0;
    // ConvertStringSecurityDescriptorToSecurityDescriptorW; win::kNoHandle on failure.
    virtual Handle ConvertSddl(const char16_t* sddl, uint32_t revision) = 0;
    virtual void FreeSecurityDescriptor(Handle descriptor) = 0;  // LocalFree
    // CreateMutexW, not inheritable; win::kNoHandle on failure.
    virtual Handle CreateNamedMutex(Handle descriptor, bool initialOwner, const char16_t* name) = 0;
    virtual uint32_t LastError() = 0;
    virtual bool ReleaseMutex(Handle mutex) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    // GetModuleHandleW("kernel32") + GetProcAddress("IsWow64Process"): whether it exists.
    virtual bool LookupIsWow64Process() = 0;
    // The looked-up IsWow64Process on the current process; false when the call fails.
    virtual bool IsWow64Process(int32_t* isWow64) = 0;
};

class StartupWindows {
  public:
    virtual ~StartupWindows() = default;
    virtual std::u16string LoadText(uint32_t id) = 0;
    virtual WindowRef DesktopWindow() = 0;
    virtual WindowRef FirstChild(WindowRef window) = 0;                    // GetWindow(GW_CHILD)
    virtual WindowRef NextWindow(WindowRef window) = 0;                    // GetWindow(GW_HWNDNEXT)
    virtual bool HasProperty(WindowRef window, const char16_t* name) = 0;  // GetPropW
    virtual bool IsIconic(WindowRef window) = 0;
    virtual void Restore(WindowRef window) = 0;  // ShowWindow(SW_RESTORE)
    virtual WindowRef LastActivePopup(WindowRef window) = 0;
    virtual void SetForeground(WindowRef window) = 0;
    virtual WindowRef ForegroundWindow() = 0;
    virtual int ShowMessageBox(WindowRef owner, const std::u16string& text,
                               const std::u16string& caption, uint32_t style) = 0;
};

// The service work of the exit sequence (the printer link's operations).
class ExitServices {
  public:
    virtual ~ExitServices() = default;
    virtual void StartPrintSpooler() = 0;
    [[nodiscard]] virtual int ChangeServiceState(int bStart, const char16_t* serviceName) = 0;
    // Starts the LPD print service again when this run's print-service fallback stopped it
    // (bLpdStopped of the link, noted before the link was released).
    virtual void RestartLpdService(int32_t bLpdStopped) = 0;
    virtual void CloseDevice(Handle device) = 0;
};

}  // namespace tav::setup
