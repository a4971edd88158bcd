#include "tools/demo_sim/sim_app.h"

#include "printer/settings/link_channel.h"
#include "tavsetup/pages/page_services.h"
#include "tavsetup/shell/link_adapters.h"
#include "tavsetup/shell/printer_link_instance.h"
#include "tavsetup/shell/utility_startup.h"
#include "tavsetup/shell/win32/main_dlg.h"
#include "tavsetup/shell/win32/startup_adapters.h"
#include "tools/demo_sim/noting_detector.h"
#include "tools/demo_sim/pacer.h"
#include "tools/demo_sim/sim_printer_machine.h"
#include "tools/demo_sim/timeline_file.h"
#include "tools/demo_sim/window_recorder.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

// The pages' services over the simulated machine while the main window runs.
void RunMainWindow(CWinAppEx& app, SimPrinterMachine& machine, PrinterDetector& detector,
                   const std::u16string& title) {
    MachinePacer pacer(machine);
    LinkChannel channel(machine.Platform(), *g_pPrinterLink);
    const PageServices services{channel, *g_pPrinterLink, machine.DriverType()};
    CMainDlg dlg(title, detector, services);
    app.m_pMainWnd = &dlg;
    dlg.DoModal();
    app.m_pMainWnd = nullptr;
}

}  // namespace

BOOL CtavsetupSimApp::InitInstance() {
    TimelineFile timeline;
    WindowRecorder recorder(timeline);
    SimPrinterMachine machine(timeline);
    Win32StartupKernel kernel;
    Win32StartupWindows windows;
    LinkExitServices services(machine.Platform());
    LinkDetector linkDetector(machine.Platform());
    NotingDetector detector(linkDetector, timeline);

    const auto runMainWindow = [&](const std::u16string& title) {
        timeline.Note("window", "main window opens");
        RunMainWindow(*this, machine, detector, title);
        timeline.Note("window", "main window closed");
    };
    UtilityStartup startup(StartupSeams{kernel, windows, services, runMainWindow});
    CWinAppEx::InitInstance();
    const BOOL result = startup.InitInstance();
    machine.NoteServiceCalls();
    machine.NotePrinterState();
    timeline.Note("exit", "the utility has ended");
    return result;
}

}  // namespace tav::demo
