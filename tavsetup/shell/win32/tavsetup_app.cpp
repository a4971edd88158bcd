#include "tavsetup/shell/win32/tavsetup_app.h"

#include "printer/link/win32/win32_printer_platform.h"
#include "tavsetup/shell/link_adapters.h"
#include "tavsetup/shell/utility_startup.h"
#include "tavsetup/shell/win32/main_dlg.h"
#include "tavsetup/shell/win32/page_services_scope.h"
#include "tavsetup/shell/win32/startup_adapters.h"

namespace tav::setup {

BOOL CtavsetupApp::InitInstance() {
    Win32StartupKernel kernel;
    Win32StartupWindows windows;
    Win32PrinterPlatform printer;
    LinkExitServices services(printer.platform);
    LinkDetector detector(printer.platform);

    const auto runMainWindow = [&](const std::u16string& title) {
        RunWithPageServices(printer.platform, [&](const PageServices& pages) {
            CMainDlg dlg(title, detector, pages);
            m_pMainWnd = &dlg;
            dlg.DoModal();
            m_pMainWnd = nullptr;
        });
    };
    UtilityStartup startup(StartupSeams{kernel, windows, services, runMainWindow});
    CWinAppEx::InitInstance();
    const BOOL result = startup.InitInstance();
    m_strTitle = startup.m_strTitle;
    m_hInstanceMutex = startup.m_hInstanceMutex;
    return result;
}

}  // namespace tav::setup
