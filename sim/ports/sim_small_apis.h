#pragma once
// The simulated program files folder and device notification registration.

#include <mutex>
#include <set>
#include <string>

#include "portlink/core/device_notify_api.h"
#include "portlink/core/shell_folder_api.h"
#include "sim/call_log.h"

namespace tav::sim {

class SimShellFolder : public portsvc::ShellFolderApi {
  public:
    explicit SimShellFolder(SimTrace& trace) : m_trace(trace) {}
    // An empty folder makes the call fail.
    void SetProgramFilesX86(std::u16string folder);
    bool GetProgramFilesX86(char16_t* path) override;

  private:
    SimTrace& m_trace;
    std::mutex m_mutex;
    std::u16string m_folder = u"C:\\Program Files (x86)";
};

class SimDeviceNotify : public portsvc::DeviceNotifyApi {
  public:
    explicit SimDeviceNotify(SimTrace& trace) : m_trace(trace) {}
    int ActiveRegistrations() const;
    portsvc::PlatformHandle RegisterInterfaceNotification(
        portsvc::PlatformHandle serviceStatusHandle, const Guid& interfaceClass) override;
    bool UnregisterNotification(portsvc::PlatformHandle notification) override;

  private:
    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    std::set<portsvc::PlatformHandle> m_active;
    portsvc::PlatformHandle m_next = 0xD000;
};

}  // namespace tav::sim
