#pragma once
// The utility process's start and exit in the simulated machine: its single-instance mutex
// is the one the service probes, and the service control at exit runs on the machine's
// service control manager, whose Tavportsvc entry starts and stops the simulated service.

#include <string>
#include <vector>

#include "sim/printer/printer_world.h"
#include "tavsetup/shell/startup_platform.h"
#include "tests/scenarios/scenario_service.h"

namespace tav::test {

class ScenarioStartup : public setup::StartupKernel,
                        public setup::StartupWindows,
                        public setup::ExitServices {
  public:
    ScenarioStartup(sim::PrinterWorld& world, ScenarioService& service)
        : m_world(world), m_service(service) {}

    std::vector<std::string> exitSteps;  // what the exit sequence did, in order

    // --- StartupKernel ---
    void InitCommonControls(uint32_t, uint32_t) override {}
    setup::Handle ConvertSddl(const char16_t*, uint32_t) override { return 0x5D; }
    void FreeSecurityDescriptor(setup::Handle) override {}
    setup::Handle CreateNamedMutex(setup::Handle descriptor, bool initialOwner,
                                   const char16_t* name) override;
    uint32_t LastError() override { return 0; }
    bool ReleaseMutex(setup::Handle mutex) override;
    bool CloseHandle(setup::Handle handle) override;
    bool LookupIsWow64Process() override { return true; }
    bool IsWow64Process(int32_t* isWow64) override {
        *isWow64 = 0;
        return true;
    }

    // --- StartupWindows ---
    std::u16string LoadText(uint32_t id) override;
    setup::WindowRef DesktopWindow() override { return 1; }
    setup::WindowRef FirstChild(setup::WindowRef) override { return 0; }
    setup::WindowRef NextWindow(setup::WindowRef) override { return 0; }
    bool HasProperty(setup::WindowRef, const char16_t*) override { return false; }
    bool IsIconic(setup::WindowRef) override { return false; }
    void Restore(setup::WindowRef) override {}
    setup::WindowRef LastActivePopup(setup::WindowRef) override { return 0; }
    void SetForeground(setup::WindowRef) override {}
    setup::WindowRef ForegroundWindow() override { return 0; }
    int ShowMessageBox(setup::WindowRef, const std::u16string&, const std::u16string&,
                       uint32_t) override {
        return 1;
    }

    // --- ExitServices ---
    void StartPrintSpooler() override;
    int ChangeServiceState(int bStart, const char16_t* serviceName) override;
    void RestartLpdService(int32_t bLpdStopped) override;
    void CloseDevice(setup::Handle device) override;

  private:
    sim::PrinterWorld& m_world;
    ScenarioService& m_service;
    setup::Handle m_mutex = win::kNoHandle;
};

}  // namespace tav::test
