#pragma once
// The spooler's remote interface: its calls fail with 1722 until the Spooler service has been
// running for a configurable time.

#include <cstdint>
#include <vector>

#include "printer/link/print_spooler.h"
#include "sim/call_log.h"
#include "sim/printer/sim_service_manager.h"

namespace tav::sim {

class SimPrintSpooler : public setup::PrintSpooler {
  public:
    SimPrintSpooler(SimTrace& trace, SimServiceManager& services);

    // Time from the Spooler reaching RUNNING until its remote interface answers.
    void SetRpcDelay(uint32_t ms) { m_rpcDelayMs = ms; }
    bool Answers() const;
    // GetPrinterDriverDirectoryW calls refused for their level or environment, by error. The
    // caller ignores the outcome, so a refusal shows only here.
    const std::vector<uint32_t>& DriverDirectoryRefusals() const {
        return m_driverDirectoryRefusals;
    }
    int DriverDirectoryAnswers() const { return m_driverDirectoryAnswers; }

    int EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level, uint8_t* buffer,
                        uint32_t size, uint32_t* pNeeded, uint32_t* pReturned) override;
    int GetDriverDirectory(const char16_t* serverName, const char16_t* environment, uint32_t level,
                           uint8_t* buffer, uint32_t size, uint32_t* pNeeded) override;

  private:
    uint32_t RefusedDriverDirectory(uint32_t error);

    std::vector<uint32_t> m_driverDirectoryRefusals;
    int m_driverDirectoryAnswers = 0;
    SimTrace& m_trace;
    SimServiceManager& m_services;
    uint32_t m_rpcDelayMs = 1500;
};

}  // namespace tav::sim
