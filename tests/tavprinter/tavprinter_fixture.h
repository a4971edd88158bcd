#pragma once
// One simulated machine for tavprinter: the printer world (printers, SetupAPI, services,
// spooler), the port link service on the same device tree, and the tool's own platform: the
// utility's mutex as the service's probe sees it, the caller's rights, a Ctrl+C, the port
// side over the service's port world, and a console and log that keep what they got.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/firmware/tav_printer_world.h"
#include "tav_version.h"
#include "tavprinter/tavprinter_app.h"
#include "tests/scenarios/scenario_service.h"

namespace tav::test {

class SimToolKernel : public tavprinter::ToolKernel {
  public:
    explicit SimToolKernel(ScenarioService& service) : m_service(service) {}

    setup::Handle ConvertSddl(const char16_t* sddl, uint32_t revision) override {
        return std::u16string(sddl) == kSetupMutexSddl && revision == 1 ? 0x5D : win::kNoHandle;
    }
    void FreeSecurityDescriptor(setup::Handle) override {}
    setup::Handle CreateNamedMutex(setup::Handle descriptor, bool initialOwner,
                                   const char16_t* name) override {
        if (descriptor != 0x5D || std::u16string(name) != kSetupMutexName) {
            m_error = win::kErrorInvalidParameter;
            return win::kNoHandle;
        }
        // Made before by the utility or another tool: opened, not owned.
        m_error =
            m_service.UtilityMutex() == sim::UtilityMutex::kAbsent ? 0 : win::kErrorAlreadyExists;
        if (m_error == 0)
            m_service.SetUtilityMutex(initialOwner ? sim::UtilityMutex::kHeld
                                                   : sim::UtilityMutex::kFree);
        ++mutexHandles;
        return 0x3E3E;
    }
    uint32_t LastError() override { return m_error; }
    bool ReleaseMutex(setup::Handle mutex) override {
        if (mutex != 0x3E3E)
            return false;
        m_service.SetUtilityMutex(sim::UtilityMutex::kFree);
        return true;
    }
    bool CloseHandle(setup::Handle handle) override {
        if (handle != 0x3E3E || mutexHandles == 0)
            return false;
        if (--mutexHandles == 0 && m_service.UtilityMutex() == sim::UtilityMutex::kFree)
            m_service.SetUtilityMutex(sim::UtilityMutex::kAbsent);
        return true;
    }
    bool IsAdministrator() override { return administrator; }
    std::string ErrorText(uint32_t error) override { return "text of " + std::to_string(error); }
    bool CancelRequested() override {
        return cancelAfterChecks >= 0 && checks++ >= cancelAfterChecks;
    }
    bool JapaneseInterface() override { return japanese; }
    std::string LocalTimeText() override { return "2026-12-09 10:00:00"; }

    bool administrator = true;
    bool japanese = false;
    int cancelAfterChecks = -1;  // -1: never
    int checks = 0;
    int mutexHandles = 0;

  private:
    ScenarioService& m_service;
    uint32_t m_error = 0;
};

class ServicePortSide : public tavprinter::PortSide {
  public:
    explicit ServicePortSide(ScenarioService& service) : m_service(service) {}
    std::optional<std::u16string> LinkedComPort(const std::u16string& printerPath) override {
        for (const auto& port : m_service.Ports())
            if (m_service.Link(port) == printerPath)
                return m_service.ComName(port);
        return std::nullopt;
    }
    bool PortDriverInstalled() override { return driverInstalled; }
    bool driverInstalled = true;

  private:
    ScenarioService& m_service;
};

class KeptOutput : public tavprinter::ToolOutput {
  public:
    void Out(const std::string& utf8) override { out += utf8; }
    void Err(const std::string& utf8) override { err += utf8; }
    bool AppendLog(const std::string& path, const std::string& utf8) override {
        logs[path] += utf8;
        return true;
    }
    std::string out, err;
    std::map<std::string, std::string> logs;
};

class TavprinterTest : public ::testing::Test {
  protected:
    TavprinterTest() {
        service.InstallInfPackage();
        service.Start();
        // The machine's service control manager runs and ends the service's process.
        world.services.onSettled = [this](const std::u16string& name, uint32_t state) {
            if (name != kServiceName)
                return;
            if (state == win::kServiceStopped)
                service.Stop();
            else if (state == win::kServiceRunning)
                service.Start();
        };
    }

    int Run(const std::vector<std::string>& args) {
        output = KeptOutput{};
        tavprinter::ToolPlatform tool{world.platform, world.pnp, kernel, ports, output};
        const int code = tavprinter::RunTavprinter(args, tool, TAV_VERSION_TEXT);
        service.DeliverDeviceEvents();
        return code;
    }

    // What every run leaves: the mutex gone, the Spooler running, the service as it was.
    void ExpectLeftAsFound(bool serviceRunning = true) {
        EXPECT_EQ(service.UtilityMutex(), sim::UtilityMutex::kAbsent);
        EXPECT_EQ(kernel.mutexHandles, 0);
        EXPECT_EQ(world.services.State(u"Spooler"), win::kServiceRunning);
        EXPECT_EQ(service.Running(), serviceRunning);
        EXPECT_EQ(world.services.OpenHandles(), 0u);
    }

    sim::PrinterWorld world;
    std::shared_ptr<sim::TavPrinterFirmware> printer = sim::AddTavPrinter(world);
    ScenarioService service{world.trace, world.tree};
    SimToolKernel kernel{service};
    ServicePortSide ports{service};
    KeptOutput output;
};

}  // namespace tav::test
