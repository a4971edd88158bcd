#include "tavprinter/tool_session.h"

#include "printer/link/printer_link.h"
#include "shared/names.h"
#include "shared/win/errors.h"
#include "shared/win/services.h"
#include "shared/win/startup.h"

namespace tav::tavprinter {

HoldResult ToolSession::Begin() {
    ToolKernel& kernel = m_tool.kernel;
    uint32_t state = 0;
    m_serviceWasRunning = setup::QueryServiceState(m_tool.printer, kServiceName, &state) &&
                          state == win::kServiceRunning;
    const Handle descriptor = kernel.ConvertSddl(kSetupMutexSddl, win::kSddlRevision1);
    if (descriptor == win::kNoHandle)
        return HoldResult::kFailed;
    const Handle mutex = kernel.CreateNamedMutex(descriptor, true, kSetupMutexName);
    const uint32_t error = kernel.LastError();
    kernel.FreeSecurityDescriptor(descriptor);
    if (mutex == win::kNoHandle)
        return error == win::kErrorAccessDenied ? HoldResult::kBusy : HoldResult::kFailed;
    if (error == win::kErrorAlreadyExists) {
        // The utility or another tool made it first; this handle only opened it.
        kernel.CloseHandle(mutex);
        return HoldResult::kBusy;
    }
    m_mutex = mutex;
    return HoldResult::kHeld;
}

void ToolSession::End() {
    if (m_ended)
        return;
    m_ended = true;
    if (m_mutex == win::kNoHandle)
        return;  // nothing was held, so nothing was stopped
    // Each step goes on whatever the one before achieved, as at the utility's exit.
    static_cast<void>(setup::StartPrintSpooler(m_tool.printer));
    m_tool.kernel.ReleaseMutex(m_mutex);
    m_tool.kernel.CloseHandle(m_mutex);
    m_mutex = win::kNoHandle;
    if (m_serviceWasRunning) {
        static_cast<void>(setup::ChangeServiceState(m_tool.printer, 0, kServiceName));
        if (!setup::ChangeServiceState(m_tool.printer, 1, kServiceName)) {
            // The run found the service running and must not leave it stopped because one
            // call failed on the way: one more start when it is not running now.
            uint32_t state = 0;
            if (!setup::QueryServiceState(m_tool.printer, kServiceName, &state) ||
                state != win::kServiceRunning)
                static_cast<void>(setup::ChangeServiceState(m_tool.printer, 1, kServiceName));
        }
    }
    // Last: the LPD print service needs the Spooler.
    static_cast<void>(setup::RestartLpdServiceIfStopped(m_tool.printer, m_lpdStopped));
}

}  // namespace tav::tavprinter
