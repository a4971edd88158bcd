#pragma once
// The service-module base of this project: what Tavportsvc needs of a Windows service
// module (command line, dispatcher hand-over, service thread, status, control handler,
// stop path) and of its self-registration, over the HostPlatform interfaces.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "shared/win/files.h"
#include "tavportsvc/host/command_line.h"
#include "tavportsvc/host/host_platform.h"
#include "tavportsvc/host/registry_script.h"

namespace tav::portsvc::host {

inline constexpr uint32_t kModulePathCapacity = win::kMaxPath;
inline constexpr win::HResult kHResultPathTooLong =
    win::HResultFromWin32(win::kErrorInsufficientBuffer);
inline constexpr uint32_t kRegistryScriptId = 101;
// The controls the running service takes: stop, shutdown and power events.
inline constexpr uint32_t kControlsAccepted =
    win::kServiceAcceptStop | win::kServiceAcceptShutdown | win::kServiceAcceptPowerEvent;
// How long "-Service" waits for a running old instance to stop before deleting its entry.
inline constexpr uint32_t kUninstallStopWaitMs = 30000;
inline constexpr uint32_t kUninstallPollMs = 250;
// The service's exit code when its entry failed in a way it did not foresee (E_UNEXPECTED).
inline constexpr win::HResult kServiceEntryFailed = static_cast<win::HResult>(0x8000FFFF);

struct ServiceIdentity {
    std::u16string displayName;
    std::u16string description;
    std::u16string appId;  // "{...}" with braces
};

class CAtlServiceModuleT {
  public:
    CAtlServiceModuleT(HostPlatform& platform, uint32_t serviceNameId, ServiceIdentity identity);
    virtual ~CAtlServiceModuleT() = default;
    CAtlServiceModuleT(const CAtlServiceModuleT&) = delete;
    CAtlServiceModuleT& operator=(const CAtlServiceModuleT&) = delete;

    // The process main routine: the process exit code.
    [[nodiscard]] uint32_t ProcessMain(std::u16string_view commandLine);
    [[nodiscard]] bool HandleCommandLine(std::u16string_view commandLine, win::HResult& result);
    [[nodiscard]] uint32_t RunAsService();
    void ServiceMain();
    [[nodiscard]] win::HResult RunService();
    [[nodiscard]] uint32_t HandleControlRequest(uint32_t control);
    void RequestStop();

    // Registration.
    [[nodiscard]] bool InstallService();
    [[nodiscard]] bool UninstallService();
    [[nodiscard]] bool IsInstalled();
    [[nodiscard]] win::HResult ApplyRegistryScript(bool doRegister,
                                                   const ScriptVariables& replacements);
    [[nodiscard]] win::HResult RegisterAppIdEntries(bool withService);
    [[nodiscard]] win::HResult UnregisterAppIdEntries();
    [[nodiscard]] win::HResult RegisterTypeLibrary();
    [[nodiscard]] win::HResult UnregisterTypeLibrary();

    virtual void AddScriptReplacements(ScriptVariables& variables);

    const std::u16string& ServiceName() const { return m_szServiceName; }
    StatusHandle ServiceStatusHandle() const { return m_hServiceStatus.load(); }
    uint32_t ServiceThreadId() const { return m_dwThreadID.load(); }
    win::ServiceStatus StatusSnapshot() const;
    bool PerUserMode() const { return m_bPerUser; }

  protected:
    // The start hook (begins with BaseStartSteps) and the stop hook (ends with
    // BaseStopSteps); the port link core's module overrides both.
    [[nodiscard]] virtual win::HResult StartHook() { return BaseStartSteps(); }
    [[nodiscard]] virtual win::HResult StopHook() { return BaseStopSteps(); }
    // SERVICE_CONTROL_DEVICEEVENT.
    virtual void OnDeviceEvent() {}
    [[nodiscard]] win::HResult BaseStartSteps();
    [[nodiscard]] win::HResult BaseStopSteps();

    HostPlatform& m_platform;

  private:
    [[nodiscard]] win::HResult RunSwitch(CommandSwitch action);
    [[nodiscard]] win::HResult RegisterServer(bool withService);
    [[nodiscard]] win::HResult UnregisterServer();
    void SetServiceState(uint32_t state);
    void ReportStatus();
    void RunMessageLoop();
    [[nodiscard]] bool WaitForServiceStopped(ScHandle service);
    [[nodiscard]] win::HResult ModulePath(std::u16string& path);
    [[nodiscard]] win::HResult LoadModuleTypeLib(TypeLib& lib, std::u16string& loadedPath);

    // The two Windows callbacks. Nothing may unwind out of them: an unexpected failure in
    // the service entry ends the service with kServiceEntryFailed as its exit code; one in
    // the control handler still answers NO_ERROR, so a device query-remove stays granted.
    static void ServiceMainEntry(void* context) noexcept;
    static uint32_t ControlHandlerEntry(uint32_t control, uint32_t eventType, void* eventData,
                                        void* context) noexcept;
    void StopAfterUnexpectedFailure() noexcept;

    bool m_bDelayShutdown = true;
    bool m_bComInitialized = false;
    std::u16string m_szServiceName;
    ServiceIdentity m_identity;
    std::atomic<StatusHandle> m_hServiceStatus{0};
    std::atomic<uint32_t> m_currentState{win::kServiceStopped};
    std::atomic<uint32_t> m_win32ExitCode{0};
    bool m_bService = true;
    std::atomic<uint32_t> m_dwThreadID{0};
    bool m_bPerUser = false;
};

}  // namespace tav::portsvc::host
