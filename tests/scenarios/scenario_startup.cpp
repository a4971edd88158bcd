#include "tests/scenarios/scenario_startup.h"

#include "printer/link/device_io.h"
#include "printer/link/printer_link.h"
#include "printer/link/service_manager.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "tests/pages/english_strings.h"

namespace tav::test {
using namespace tav::setup;

namespace {
constexpr Handle kMutexHandle = 0x3E3E;
}

Handle ScenarioStartup::CreateNamedMutex(Handle, bool initialOwner, const char16_t* name) {
    if (std::u16string(name) != kSetupMutexName)
        return win::kNoHandle;
    m_world.trace.Enter("CreateMutexW", ToUtf8(name));
    m_service.SetUtilityMutex(initialOwner ? sim::UtilityMutex::kHeld : sim::UtilityMutex::kFree);
    m_mutex = kMutexHandle;
    return m_mutex;
}

bool ScenarioStartup::ReleaseMutex(Handle mutex) {
    if (mutex != m_mutex)
        return false;
    m_world.trace.Enter("ReleaseMutex");
    m_service.SetUtilityMutex(sim::UtilityMutex::kFree);
    return true;
}

bool ScenarioStartup::CloseHandle(Handle handle) {
    if (handle != m_mutex)
        return false;
    // The last handle closed: the named mutex no longer exists.
    m_service.SetUtilityMutex(sim::UtilityMutex::kAbsent);
    m_mutex = win::kNoHandle;
    return true;
}

std::u16string ScenarioStartup::LoadText(uint32_t id) {
    return EnglishString(id);
}

void ScenarioStartup::StartPrintSpooler() {
    exitSteps.push_back("start Spooler");
    static_cast<void>(
        tav::setup::StartPrintSpooler(m_world.platform));  // the exit goes on either way
}

int ScenarioStartup::ChangeServiceState(int bStart, const char16_t* serviceName) {
    exitSteps.push_back((bStart ? "start " : "stop ") + ToUtf8(serviceName));
    const int result = tav::setup::ChangeServiceState(m_world.platform, bStart, serviceName);
    // The machine's service control manager runs or ends the service process.
    if (std::u16string(serviceName) == kServiceName) {
        const uint32_t state = m_world.services.State(kServiceName);
        if (state == win::kServiceStopped)
            m_service.Stop();
        else if (state == win::kServiceRunning)
            m_service.Start();
    }
    return result;
}

void ScenarioStartup::RestartLpdService(int32_t bLpdStopped) {
    static_cast<void>(RestartLpdServiceIfStopped(m_world.platform, bLpdStopped));
}

void ScenarioStartup::CloseDevice(Handle device) {
    m_world.io.CloseHandle(device);
}

}  // namespace tav::test
