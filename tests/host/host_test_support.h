#pragma once
// Test support: the service's real registry script and a module whose core hooks are
// scripted by the test.

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "sim/host/sim_host_world.h"
#include "tavportsvc/host/atl_service_module.h"

namespace tav::portsvc::host::test {

inline std::vector<uint8_t> RealRegistryScript() {
    std::ifstream file(TAV_RGS_PATH, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

inline ServiceIdentity TestIdentity() {
    return {u"TAV Virtual Serial Port Service", u"Service program for TAV Virtual Serial Port.",
            u"{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}"};
}

// The module base with scripted hooks in place of the port link core.
class ScriptedModule : public CAtlServiceModuleT {
  public:
    explicit ScriptedModule(HostPlatform& platform)
        : CAtlServiceModuleT(platform, 100, TestIdentity()) {}

    win::HResult startResult = win::kSOk;  // returned by the start hook after the base steps
    std::atomic<int> startHooks{0};
    std::atomic<int> stopHooks{0};
    std::atomic<int> devicePasses{0};

    // While set, a device-event pass waits until ReleasePass().
    void HoldPasses() { m_hold = true; }
    void ReleasePass() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hold = false;
        m_cv.notify_all();
    }
    bool WaitPassEntered() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return m_inPass; });
    }

  protected:
    win::HResult StartHook() override {
        ++startHooks;
        win::HResult hr = BaseStartSteps();
        return hr < 0 ? hr : startResult;
    }
    win::HResult StopHook() override {
        ++stopHooks;
        return BaseStopSteps();
    }
    void OnDeviceEvent() override {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_inPass = true;
        m_cv.notify_all();
        m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return !m_hold; });
        m_inPass = false;
        ++devicePasses;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_hold = false;
    bool m_inPass = false;
};

}  // namespace tav::portsvc::host::test
