#include "tavports/link_change.h"

#include "portlink/core/owned_handles.h"
#include "portlink/core/port_entries.h"
#include "portlink/core/port_link_writer.h"
#include "portlink/core/utility_probe.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/tool_options.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::tavports {
using namespace tav::portsvc;

namespace {

const char* const kUtilityRuns =
    "the setup utility (tavsetup) is running: close it first. While it runs the service "
    "links no ports, and the printer may be changing mode";
const char* const kMutexHeld =
    "the setup utility (tavsetup) or another tool holds the port links now: try again when "
    "it has ended";

std::string NoRights(const char* command) {
    return std::string(command) +
           " needs administrator rights: run it from an elevated command prompt "
           "(Run as administrator)";
}

}  // namespace

void Fail(ToolConsole& console, const std::string& message) {
    console.Err("tavports: " + message + "\n");
}

int CheckMayChangeLinks(ToolContext& ctx, ToolConsole& console, const char* command) {
    if (!ctx.host.IsAdministrator()) {
        Fail(console, NoRights(command));
        return kToolExitNeedsAdmin;
    }
    if (SetupUtilityRunning(ctx.pass)) {
        Fail(console, kUtilityRuns);
        return kToolExitBusy;
    }
    return kToolExitOk;
}

bool AskYes(ToolConsole& console, const std::string& question) {
    console.Out(question + " [y/N] ");
    std::string answer;
    if (!console.ReadLine(&answer))
        return false;
    answer = LowerAscii(answer);
    return answer == "y" || answer == "yes";
}

UtilityMutexHold::~UtilityMutexHold() {
    SyncApi& sync = *m_ctx.pass.platform.sync;
    // A failed release leaves nothing more to try: closing the last handle frees it too.
    if (m_owned)
        static_cast<void>(sync.ReleaseOwnedMutex(m_mutex));
    if (m_mutex != win::kNoHandle)
        static_cast<void>(sync.CloseObject(m_mutex));
}

int UtilityMutexHold::Take(uint32_t* error) {
    m_mutex = m_ctx.host.CreateNamedMutex(kSetupMutexSddl, kSetupMutexName);
    if (m_mutex == win::kNoHandle) {
        *error = GetLastErrorCode();
        // The utility's mutex made by another user's process may refuse this one.
        return *error == win::kErrorAccessDenied ? kToolExitBusy : kToolExitFailed;
    }
    // An abandoned mutex is free: its owner ended, and the wait makes this process owner.
    const uint32_t wait = m_ctx.pass.platform.sync->WaitForObject(m_mutex, 0);
    if (wait == win::kWaitTimeout)
        return kToolExitBusy;
    if (wait != win::kWaitObject0 && wait != win::kWaitAbandoned) {
        *error = GetLastErrorCode();
        return kToolExitFailed;
    }
    m_owned = true;
    return kToolExitOk;
}

int TakeHoldOrFail(UtilityMutexHold& hold, ToolContext& ctx, ToolConsole& console) {
    uint32_t error = win::kErrorSuccess;
    const int taken = hold.Take(&error);
    if (taken == kToolExitBusy)
        Fail(console, kMutexHeld);
    else if (taken != kToolExitOk)
        Fail(console, DescribeError({"taking the setup utility's mutex", error},
                                    [&ctx](uint32_t code) { return ctx.host.ErrorText(code); }));
    return taken;
}

OwnedRegistryKey OpenPortForWrite(ToolContext& ctx, const std::u16string& instanceId,
                                  uint32_t* error) {
    OwnedRegistryKey key;
    *error = win::kErrorFileNotFound;
    uint32_t walkError = WalkPorts(ctx.pass, [&](const std::u16string&, PlatformHandle set,
                                                 const win::DeviceInterfaceData& data) {
        win::DevInfoData devInfo;
        std::u16string id;
        if (!ctx.pass.platform.setupDi->GetInterfaceDevInfo(set, data, &devInfo) &&
            GetLastErrorCode() != win::kErrorInsufficientBuffer)
            return 1;
        if (!ctx.host.GetDeviceInstanceId(set, devInfo, &id) || !EqualsNoCase(id, instanceId))
            return 1;
        key = OpenPortKey(ctx.pass, set, data, kPortKeyAccess, error);
        return 0;
    });
    if (!key && walkError != win::kErrorSuccess)
        *error = walkError;
    return key;
}

uint32_t WriteLinkOfPort(ToolContext& ctx, const std::u16string& instanceId, const char16_t* link) {
    uint32_t error = win::kErrorSuccess;
    OwnedRegistryKey key = OpenPortForWrite(ctx, instanceId, &error);
    if (!key)
        return error;
    return WritePortLink(ctx.pass, key.get(), link);
}

int WriteFailed(ToolContext& ctx, ToolConsole& console, const std::string& what, uint32_t error,
                const char* command) {
    if (error == win::kErrorAccessDenied) {
        Fail(console, NoRights(command));
        return kToolExitNeedsAdmin;
    }
    Fail(console,
         DescribeError({what, error}, [&ctx](uint32_t code) { return ctx.host.ErrorText(code); }));
    return kToolExitFailed;
}

}  // namespace tav::tavports
