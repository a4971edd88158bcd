#pragma once
// The start-up's platform as fakes: every call lands in one call log, in order, so that
// tests can assert the start and exit orders; windows are a list of top-level windows.

#include <map>
#include <string>
#include <vector>

#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/call_log.h"
#include "tavsetup/shell/startup_platform.h"

namespace tav::test {

class FakeKernel : public setup::StartupKernel {
  public:
    explicit FakeKernel(sim::CallLog& log) : m_log(log) {}

    void InitCommonControls(uint32_t size, uint32_t classes) override {
        m_log.Record("InitCommonControlsEx " + std::to_string(size) + " " +
                     std::to_string(classes));
    }
    setup::Handle ConvertSddl(const char16_t* sddl, uint32_t revision) override {
        m_log.Record("ConvertSddl " + ToUtf8(sddl) + " " + std::to_string(revision));
        return sddlFails ? win::kNoHandle : 0x5D;
    }
    void FreeSecurityDescriptor(setup::Handle descriptor) override {
        m_log.Record("LocalFree " + std::to_string(descriptor));
    }
    setup::Handle CreateNamedMutex(setup::Handle descriptor, bool initialOwner,
                                   const char16_t* name) override {
        m_log.Record("CreateMutexW " + std::to_string(descriptor) + " " +
                     (initialOwner ? "owned " : "unowned ") + ToUtf8(name));
        if (mutexFails) {
            m_lastError = win::kErrorAccessDenied;
            return win::kNoHandle;
        }
        m_lastError = mutexExists ? win::kErrorAlreadyExists : win::kErrorSuccess;
        return 0x4D;
    }
    uint32_t LastError() override { return m_lastError; }
    bool ReleaseMutex(setup::Handle mutex) override {
        m_log.Record("ReleaseMutex " + std::to_string(mutex));
        return true;
    }
    bool CloseHandle(setup::Handle handle) override {
        m_log.Record("CloseHandle " + std::to_string(handle));
        return true;
    }
    bool LookupIsWow64Process() override {
        m_log.Record("GetProcAddress IsWow64Process");
        return hasIsWow64Process;
    }
    bool IsWow64Process(int32_t* isWow64) override {
        m_log.Record("IsWow64Process");
        *isWow64 = underWow64 ? 1 : 0;
        return !isWow64Fails;
    }

    bool sddlFails = false;
    bool mutexFails = false;
    bool mutexExists = false;
    bool hasIsWow64Process = true;
    bool isWow64Fails = false;
    bool underWow64 = false;

  private:
    sim::CallLog& m_log;
    uint32_t m_lastError = 0;
};

struct FakeWindow {
    setup::WindowRef ref;
    bool hasProperty = false;
    bool iconic = false;
    setup::WindowRef lastActivePopup = 0;
};

class FakeWindows : public setup::StartupWindows {
  public:
    explicit FakeWindows(sim::CallLog& log) : m_log(log) {}

    std::u16string LoadText(uint32_t id) override {
        m_log.Record("LoadStringW " + std::to_string(id));
        return strings.count(id) ? strings[id] : std::u16string();
    }
    setup::WindowRef DesktopWindow() override { return kDesktop; }
    setup::WindowRef FirstChild(setup::WindowRef window) override {
        return window == kDesktop && !topLevel.empty() ? topLevel.front().ref : 0;
    }
    setup::WindowRef NextWindow(setup::WindowRef window) override {
        for (size_t i = 0; i + 1 < topLevel.size(); ++i)
            if (topLevel[i].ref == window)
                return topLevel[i + 1].ref;
        return 0;
    }
    bool HasProperty(setup::WindowRef window, const char16_t* name) override {
        m_log.Record("GetPropW " + std::to_string(window) + " " + ToUtf8(name));
        return Find(window).hasProperty;
    }
    bool IsIconic(setup::WindowRef window) override { return Find(window).iconic; }
    void Restore(setup::WindowRef window) override {
        m_log.Record("ShowWindow SW_RESTORE " + std::to_string(window));
    }
    setup::WindowRef LastActivePopup(setup::WindowRef window) override {
        return Find(window).lastActivePopup;
    }
    void SetForeground(setup::WindowRef window) override {
        m_log.Record("SetForegroundWindow " + std::to_string(window));
    }
    setup::WindowRef ForegroundWindow() override { return foreground; }
    int ShowMessageBox(setup::WindowRef owner, const std::u16string& text,
                       const std::u16string& caption, uint32_t style) override {
        m_log.Record("MessageBoxW " + std::to_string(owner) + " '" + ToUtf8(text) + "' '" +
                     ToUtf8(caption) + "' " + std::to_string(style));
        return 1;
    }

    static constexpr setup::WindowRef kDesktop = 0x10;
    std::vector<FakeWindow> topLevel;
    setup::WindowRef foreground = 0;
    std::map<uint32_t, std::u16string> strings = {
        {112, u"Communication Settings Utility"},
        {126, u"This software needs  32-bit platforms!!"}};

  private:
    FakeWindow& Find(setup::WindowRef window) {
        for (auto& w : topLevel)
            if (w.ref == window)
                return w;
        static FakeWindow none{0};
        return none;
    }
    sim::CallLog& m_log;
};

class FakeExitServices : public setup::ExitServices {
  public:
    explicit FakeExitServices(sim::CallLog& log) : m_log(log) {}

    void StartPrintSpooler() override { m_log.Record("StartPrintSpooler"); }
    int ChangeServiceState(int bStart, const char16_t* serviceName) override {
        m_log.Record(std::string(bStart ? "StartService " : "StopService ") + ToUtf8(serviceName));
        return 1;
    }
    void RestartLpdService(int32_t bLpdStopped) override {
        m_log.Record("RestartLpdService " + std::to_string(bLpdStopped));
    }
    void CloseDevice(setup::Handle device) override {
        m_log.Record("CloseDevice " + std::to_string(device));
    }

  private:
    sim::CallLog& m_log;
};

}  // namespace tav::test
