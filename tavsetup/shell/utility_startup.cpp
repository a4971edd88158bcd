#include "tavsetup/shell/utility_startup.h"

#include <new>

#include "shared/names.h"
#include "shared/win/errors.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/printer_link_instance.h"

namespace tav::setup {

namespace {}

int UtilityStartup::InitInstance() {
    m_seams.kernel.InitCommonControls(win::kInitCommonControlsSize, kInitCommonControlsClasses);
    m_strTitle = m_seams.windows.LoadText(IDS_APP_TITLE);
    if (!AcquireSingleInstance())
        return 0;
    if (RunsUnderWow64()) {
        m_seams.windows.ShowMessageBox(m_seams.windows.ForegroundWindow(),
                                       m_seams.windows.LoadText(IDS_NEEDS_32BIT), m_strTitle,
                                       kErrorBoxStyle);
        // Leaving the mutex to process exit would keep the service's passes idle for as
        // long as the box's owner lingers; let it go now.
        ReleaseInstanceMutex();
        return 0;
    }
    g_pPrinterLink = new (std::nothrow) PrinterLink();
    if (!g_pPrinterLink) {
        ReleaseInstanceMutex();
        return 0;
    }
    m_seams.runMainWindow(m_strTitle);
    ExitSequence();
    return 0;
}

int UtilityStartup::AcquireSingleInstance() {
    StartupKernel& kernel = m_seams.kernel;
    const Handle descriptor = kernel.ConvertSddl(kSetupMutexSddl, win::kSddlRevision1);
    if (descriptor == win::kNoHandle)
        return 0;
    m_hInstanceMutex = kernel.CreateNamedMutex(descriptor, true, kSetupMutexName);
    const uint32_t error = kernel.LastError();
    kernel.FreeSecurityDescriptor(descriptor);
    if (m_hInstanceMutex == win::kNoHandle)
        return 0;
    if (error != win::kErrorAlreadyExists)
        return 1;
    // The first instance owns the mutex; this handle only opened it.
    kernel.CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = win::kNoHandle;
    BringFirstInstanceForward();
    return 0;
}

bool UtilityStartup::RunsUnderWow64() {
    if (!m_seams.kernel.LookupIsWow64Process())
        return false;
    int32_t isWow64 = 0;
    return m_seams.kernel.IsWow64Process(&isWow64) && isWow64 != 0;
}

void UtilityStartup::BringFirstInstanceForward() {
    StartupWindows& windows = m_seams.windows;
    WindowRef window = windows.FirstChild(windows.DesktopWindow());
    while (window != 0 && !windows.HasProperty(window, kSetupMutexName))
        window = windows.NextWindow(window);
    if (window == 0)
        return;
    if (windows.IsIconic(window))
        windows.Restore(window);
    const WindowRef popup = windows.LastActivePopup(window);
    windows.SetForeground(popup != 0 ? popup : window);
}

void UtilityStartup::ExitSequence() {
    ExitServices& services = m_seams.services;
    services.StartPrintSpooler();
    const int32_t bLpdStopped = g_pPrinterLink->bLpdStopped;
    if (g_pPrinterLink->hDevice != win::kNoHandle)
        services.CloseDevice(g_pPrinterLink->hDevice);
    delete g_pPrinterLink;
    g_pPrinterLink = nullptr;
    ReleaseInstanceMutex();
    // The exit goes on whatever each step achieved: a stop that fails still asks for the start.
    static_cast<void>(services.ChangeServiceState(0, kServiceName));
    static_cast<void>(services.ChangeServiceState(1, kServiceName));
    services.RestartLpdService(bLpdStopped);
}

void UtilityStartup::ReleaseInstanceMutex() {
    if (m_hInstanceMutex == win::kNoHandle)
        return;
    m_seams.kernel.ReleaseMutex(m_hInstanceMutex);
    m_seams.kernel.CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = win::kNoHandle;
}

}  // namespace tav::setup
