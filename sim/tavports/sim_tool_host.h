#pragma once
// tavports' host calls in the simulated world: instance IDs come from the port world's one
// table of device information sets, the caller is an administrator unless told otherwise,
// error texts come from a short table (the real program asks FormatMessageW). The console
// keeps what was written and answers prompts from a script.

#include <deque>
#include <string>

#include "portlink/tool_host_api.h"
#include "sim/call_log.h"
#include "sim/ports/sim_setup_di.h"

namespace tav::sim {

class SimToolHost : public portlink::ToolHostApi {
  public:
    SimToolHost(SimTrace& trace, SimSetupDi& setupDi) : m_trace(trace), m_setupDi(setupDi) {}

    bool GetDeviceInstanceId(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                             std::u16string* instanceId) override;
    bool IsAdministrator() override;
    std::string ErrorText(uint32_t error) override;

    bool administrator = true;

  private:
    SimTrace& m_trace;
    SimSetupDi& m_setupDi;
};

class SimConsole : public portlink::ToolConsole {
  public:
    void Out(const std::string& utf8) override { out += utf8; }
    void Err(const std::string& utf8) override { err += utf8; }
    bool ReadLine(std::string* line) override;

    std::string out;
    std::string err;
    std::deque<std::string> input;  // lines the user types; none left is the end of input
    int prompts = 0;                // lines asked for
};

}  // namespace tav::sim
