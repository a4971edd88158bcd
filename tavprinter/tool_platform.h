#pragma once
// What tavprinter needs beyond the printer link's platform: the utility's mutex, the
// caller's rights, error texts, a Ctrl+C, the port side (which COM port a printer has and
// whether the port driver is installed), the console and the log file. Failures leave the
// reason in the thread's last error, as Windows does.

#include <cstdint>
#include <optional>
#include <string>

#include "printer/link/platform.h"
#include "printer/settings/pnp_manager.h"

namespace tav::tavprinter {

using setup::Handle;

class ToolKernel {
  public:
    virtual ~ToolKernel() = default;
    // ConvertStringSecurityDescriptorToSecurityDescriptorW; win::kNoHandle on failure.
    virtual Handle ConvertSddl(const char16_t* sddl, uint32_t revision) = 0;
    virtual void FreeSecurityDescriptor(Handle descriptor) = 0;
    // CreateMutexW(descriptor, initialOwner, name); LastError() tells ERROR_ALREADY_EXISTS.
    virtual Handle CreateNamedMutex(Handle descriptor, bool initialOwner, const char16_t* name) = 0;
    virtual uint32_t LastError() = 0;
    virtual bool ReleaseMutex(Handle mutex) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    // The process token is an elevated member of BUILTIN\Administrators.
    virtual bool IsAdministrator() = 0;
    // FormatMessageW's text for a Win32 error code, without the line break (UTF-8).
    virtual std::string ErrorText(uint32_t error) = 0;
    // Ctrl+C or Ctrl+Break arrived since the start.
    virtual bool CancelRequested() = 0;
    // The user's interface language is Japanese.
    virtual bool JapaneseInterface() = 0;
    // The local time as "YYYY-MM-DD hh:mm:ss", for the log.
    virtual std::string LocalTimeText() = 0;
};

class PortSide {
  public:
    virtual ~PortSide() = default;
    // The COM name of the port whose link holds this printer interface path, by the port
    // report's rules; none when no port links it (or the ports cannot be read).
    virtual std::optional<std::u16string> LinkedComPort(const std::u16string& printerPath) = 0;
    // The port driver package is installed (the driver store knows the service's INF).
    virtual bool PortDriverInstalled() = 0;
};

class ToolOutput {
  public:
    virtual ~ToolOutput() = default;
    virtual void Out(const std::string& utf8) = 0;
    virtual void Err(const std::string& utf8) = 0;
    // Appends UTF-8 to the log file; false when it cannot be written.
    virtual bool AppendLog(const std::string& path, const std::string& utf8) = 0;
};

struct ToolPlatform {
    setup::PrinterPlatform& printer;
    setup::PnpManager& pnp;
    ToolKernel& kernel;
    PortSide& ports;
    ToolOutput& output;
};

}  // namespace tav::tavprinter
