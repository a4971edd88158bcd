#pragma once
// What every command that changes links shares (unlink, assign, prune): the refusals for
// rights and a running setup utility, the question before a change, the utility's mutex held
// while links are written, and the write of one port's link.

#include <string>

#include "portlink/core/owned_handles.h"
#include "portlink/port_report.h"
#include "shared/tool_exit_codes.h"
#include "tavports/report_text.h"

namespace tav::tavports {

// "tavports: <message>" on the error stream.
void Fail(ToolConsole& console, const std::string& message);

// The checks before any change: an elevated administrator, and no setup utility running.
// Returns the exit code of a refusal (written), or kToolExitOk.
int CheckMayChangeLinks(ToolContext& ctx, ToolConsole& console, const char* command);

// Asks a yes/no question; only "y" or "yes" (any case) is yes, the end of input is no.
bool AskYes(ToolConsole& console, const std::string& question);

// The utility's single-instance mutex, held from Take() to destruction: the service's passes
// step aside while it is held (they find the utility running), and neither the utility nor
// another tool changes links meanwhile. Created with the utility's own security when absent.
class UtilityMutexHold {
  public:
    explicit UtilityMutexHold(ToolContext& ctx) : m_ctx(ctx) {}
    ~UtilityMutexHold();
    UtilityMutexHold(const UtilityMutexHold&) = delete;
    UtilityMutexHold& operator=(const UtilityMutexHold&) = delete;

    // kToolExitOk when held; kToolExitBusy (the utility or another tool owns it) or
    // kToolExitFailed (with *error set) otherwise.
    int Take(uint32_t* error);

  private:
    ToolContext& m_ctx;
    portsvc::PlatformHandle m_mutex = win::kNoHandle;
    bool m_owned = false;
};

// Takes the hold, writing the refusal when it cannot; kToolExitOk when held.
int TakeHoldOrFail(UtilityMutexHold& hold, ToolContext& ctx, ToolConsole& console);

// The hardware key of the port with this instance ID (letter case ignored), opened as the
// service opens it; no key with the error otherwise.
portsvc::OwnedRegistryKey OpenPortForWrite(ToolContext& ctx, const std::u16string& instanceId,
                                           uint32_t* error);

// Sets the link of the port with this instance ID (letter case ignored) to `link`, through
// its hardware key opened as the service opens it. 0 or the error of the failing step.
uint32_t WriteLinkOfPort(ToolContext& ctx, const std::u16string& instanceId, const char16_t* link);

// The words for a failed write: the rights hint for access denied, else the call and error.
// Returns the exit code.
int WriteFailed(ToolContext& ctx, ToolConsole& console, const std::string& what, uint32_t error,
                const char* command);

}  // namespace tav::tavports
