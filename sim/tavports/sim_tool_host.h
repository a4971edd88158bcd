#pragma once
// The consoles' host calls in the simulated world: instance IDs and device status come from
// the port world's one table of device information sets and its device tree, the utility's
// mutex from its simulated kernel objects; the caller is an administrator unless told
// otherwise, error texts come from a short table (the real program asks FormatMessageW). The
// service, file versions and writable folders are what a test sets. The console keeps what
// was written and answers prompts from a script.

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "portlink/tool_host_api.h"
#include "sim/call_log.h"
#include "sim/device_tree.h"
#include "sim/ports/sim_setup_di.h"
#include "sim/ports/sim_sync.h"

namespace tav::sim {

class SimToolHost : public portlink::ToolHostApi {
  public:
    SimToolHost(SimTrace& trace, SimSetupDi& setupDi, DeviceTree& tree, SimSync& sync)
        : m_trace(trace), m_setupDi(setupDi), m_tree(tree), m_sync(sync) {}

    bool GetDeviceInstanceId(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                             std::u16string* instanceId) override;
    bool IsAdministrator() override;
    std::string ErrorText(uint32_t error) override;
    portsvc::PlatformHandle CreateNamedMutex(const char16_t* sddl, const char16_t* name) override;
    uint32_t GetDevNodeStatus(portsvc::PlatformHandle set, const win::DevInfoData& devInfo,
                              uint32_t* status, uint32_t* problem) override;
    bool ComputerName(std::u16string* name) override;
    portlink::UtcTime SystemTimeUtc() override { return now; }
    bool QueryService(const char16_t* name, uint32_t* state, std::u16string* commandLine) override;
    bool FileVersion(const std::u16string& path, uint16_t parts[4]) override;
    uint32_t WriteNewFile(const std::u16string& path, const std::string& bytes) override;

    bool administrator = true;
    std::u16string computerName = u"LANE-017";
    portlink::UtcTime now{2026, 12, 9, 8, 30, 5};
    // The port link service: its state and command line; none when it is not installed.
    std::optional<uint32_t> serviceState = 4;  // SERVICE_RUNNING
    std::u16string serviceCommandLine =
        u"\"C:\\Program Files (x86)\\TAV\\HX Series Printer\\Tavport\\Tavportsvc.exe\"";
    // Executables with a version resource, by full path (letter case ignored).
    std::map<std::u16string, std::array<uint16_t, 4>> fileVersions = {
        {u"C:\\Program Files (x86)\\TAV\\HX Series Printer\\Tavport\\Tavportsvc.exe",
         {1, 0, 0, 1}}};
    // Folders a file can be made in, and the files made.
    std::set<std::u16string> folders = {u"C:\\Temp"};
    std::map<std::u16string, std::string> files;

  private:
    SimTrace& m_trace;
    SimSetupDi& m_setupDi;
    DeviceTree& m_tree;
    SimSync& m_sync;
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
