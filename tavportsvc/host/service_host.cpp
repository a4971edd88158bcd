// The process as a Windows service: command line, dispatcher hand-over, service thread,
// status reports, control handler and stop path.
#include "tavportsvc/host/atl_service_module.h"

#include "shared/callback_boundary.h"
#include "tavportsvc/host/host_handles.h"

namespace tav::portsvc::host {
namespace {

inline constexpr char16_t kAppIdKey[] = u"AppID";

}  // namespace

CAtlServiceModuleT::CAtlServiceModuleT(HostPlatform& platform, uint32_t serviceNameId,
                                       ServiceIdentity identity)
    : m_platform(platform),
      m_szServiceName(platform.image.LoadStringResource(serviceNameId).substr(0, 255)),
      m_identity(std::move(identity)) {}

uint32_t CAtlServiceModuleT::ProcessMain(std::u16string_view commandLine) {
    win::HResult result = win::kSOk;
    if (HandleCommandLine(commandLine, result))
        return RunAsService();
    return static_cast<uint32_t>(result);
}

bool CAtlServiceModuleT::HandleCommandLine(std::u16string_view commandLine, win::HResult& result) {
    result = win::kSOk;
    CommandSwitch action =
        ScanCommandLine(commandLine, [this](char16_t c) { return m_platform.image.UpperCase(c); });
    if (action == CommandSwitch::None)
        return true;
    result = RunSwitch(action);
    return false;
}

win::HResult CAtlServiceModuleT::RunSwitch(CommandSwitch action) {
    switch (action) {
        case CommandSwitch::UnregServerPerUser:
            m_bPerUser = true;
            return UnregisterServer();
        case CommandSwitch::UnregServer:
            return UnregisterServer();
        case CommandSwitch::RegServerPerUser:
            m_bPerUser = true;
            return RegisterServer(false);
        case CommandSwitch::RegServer:
            return RegisterServer(false);
        case CommandSwitch::Service:
            return RegisterServer(true);
        case CommandSwitch::None:
            break;
    }
    return win::kSOk;
}

win::HResult CAtlServiceModuleT::RegisterServer(bool withService) {
    win::HResult hr = RegisterAppIdEntries(withService);
    if (hr < 0)
        return hr;
    return RegisterTypeLibrary();
}

win::HResult CAtlServiceModuleT::UnregisterServer() {
    win::HResult hr = UnregisterTypeLibrary();
    if (hr < 0)
        return hr;
    return UnregisterAppIdEntries();
}

uint32_t CAtlServiceModuleT::RunAsService() {
    RegistryApi& registry = m_platform.registry;
    OwnedRegistryKey appIdRoot;
    uint32_t error =
        OpenKeyInto(registry, win::kHkeyClassesRoot, kAppIdKey, win::kKeyRead, appIdRoot);
    if (error != win::kErrorSuccess) {
        m_win32ExitCode = error;
        return error;
    }
    OwnedRegistryKey appId;
    error = OpenKeyInto(registry, appIdRoot.get(), m_identity.appId, win::kKeyRead, appId);
    if (error != win::kErrorSuccess) {
        m_win32ExitCode = error;
        return error;
    }
    m_bService = true;
    error = m_platform.dispatcher.RunDispatcher(m_szServiceName, ServiceMainEntry, this);
    if (error != win::kErrorSuccess)
        m_win32ExitCode = error;
    return m_win32ExitCode.load();
}

void CAtlServiceModuleT::ServiceMainEntry(void* context) noexcept {
    auto* module = static_cast<CAtlServiceModuleT*>(context);
    AtCallbackBoundary([module] { module->ServiceMain(); },
                       [module] { module->StopAfterUnexpectedFailure(); });
}

uint32_t CAtlServiceModuleT::ControlHandlerEntry(uint32_t control, uint32_t, void*,
                                                 void* context) noexcept {
    auto* module = static_cast<CAtlServiceModuleT*>(context);
    return AtCallbackBoundary([module, control] { return module->HandleControlRequest(control); },
                              win::kErrorSuccess);
}

// The manager is told the service has ended, so it does not wait for ever on a service
// whose thread is gone.
void CAtlServiceModuleT::StopAfterUnexpectedFailure() noexcept {
    m_win32ExitCode = static_cast<uint32_t>(kServiceEntryFailed);
    AtCallbackBoundary([this] { SetServiceState(win::kServiceStopped); }, [] {});
}

void CAtlServiceModuleT::ServiceMain() {
    // No control can arrive before the handler is registered, so a plain store is enough.
    m_currentState.store(win::kServiceStartPending);
    m_dwThreadID = m_platform.dispatcher.CurrentThreadId();
    StatusHandle handle =
        m_platform.dispatcher.RegisterHandler(m_szServiceName, ControlHandlerEntry, this);
    if (!handle)
        return;
    m_hServiceStatus = handle;
    SetServiceState(win::kServiceStartPending);
    m_win32ExitCode = 0;

    win::HResult hr = m_platform.com.Initialize();
    if (hr >= 0) {
        m_bComInitialized = true;
    } else if (!(hr == win::kRpcEChangedMode && m_platform.com.IsModuleLoaded(u"Mscoree.dll"))) {
        // Staying in start-pending would leave the manager waiting for a service that
        // never runs; it is told at once why the start failed.
        m_win32ExitCode = static_cast<uint32_t>(hr);
        SetServiceState(win::kServiceStopped);
        return;
    }
    m_bDelayShutdown = false;
    m_win32ExitCode = static_cast<uint32_t>(RunService());
    if (m_bService && m_bComInitialized)
        m_platform.com.Uninitialize();
    SetServiceState(win::kServiceStopped);
}

win::HResult CAtlServiceModuleT::RunService() {
    win::HResult hr = StartHook();
    if (hr < 0)
        return hr;
    SetServiceState(win::kServiceRunning);
    RunMessageLoop();
    return StopHook();
}

void CAtlServiceModuleT::RunMessageLoop() {
    while (m_platform.messages.NextMessage() > 0)
        m_platform.messages.TranslateAndDispatch();
}

win::HResult CAtlServiceModuleT::BaseStartSteps() {
    // The module serves no COM class: registering an empty class table gives S_FALSE,
    // which leaves the delayed shutdown off.
    m_bDelayShutdown = false;
    return m_platform.com.ResumeClassObjects();
}

win::HResult CAtlServiceModuleT::BaseStopSteps() {
    if (m_bDelayShutdown)
        m_platform.clock.Sleep(1000);
    return win::kSOk;
}

uint32_t CAtlServiceModuleT::HandleControlRequest(uint32_t control) {
    switch (control) {
        case win::kServiceControlStop:
            RequestStop();
            break;
        case win::kServiceControlDeviceEvent:
            OnDeviceEvent();
            break;
        default:
            break;
    }
    return win::kErrorSuccess;
}

void CAtlServiceModuleT::RequestStop() {
    SetServiceState(win::kServiceStopPending);
    ReportStatus();
    // Nothing else would end the loop; a failed post leaves the manager to time the stop out.
    static_cast<void>(m_platform.messages.PostQuit(m_dwThreadID.load()));
}

void CAtlServiceModuleT::SetServiceState(uint32_t state) {
    m_currentState.exchange(state);
    ReportStatus();
}

void CAtlServiceModuleT::ReportStatus() {
    // A report the manager refuses has no one else to go to; the next report says it again.
    static_cast<void>(m_platform.dispatcher.SetStatus(m_hServiceStatus.load(), StatusSnapshot()));
}

win::ServiceStatus CAtlServiceModuleT::StatusSnapshot() const {
    win::ServiceStatus status;
    status.serviceType = win::kServiceWin32OwnProcess;
    status.controlsAccepted = kControlsAccepted;
    status.currentState = m_currentState.load();
    status.win32ExitCode = m_win32ExitCode.load();
    return status;
}

}  // namespace tav::portsvc::host
