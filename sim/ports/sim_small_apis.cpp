#include "sim/ports/sim_small_apis.h"

#include <cstring>

#include "portlink/core/platform_types.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::sim {
using namespace tav::portsvc;

void SimShellFolder::SetProgramFilesX86(std::u16string folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folder = std::move(folder);
}

bool SimShellFolder::GetProgramFilesX86(char16_t* path) {
    if (auto error = m_trace.Enter("SHGetSpecialFolderPathW", "CSIDL_PROGRAM_FILESX86")) {
        SetLastErrorCode(*error);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_folder.empty() || m_folder.size() >= win::kMaxPath) {
        SetLastErrorCode(win::kErrorFileNotFound);
        return false;
    }
    std::memcpy(path, m_folder.c_str(), (m_folder.size() + 1) * 2);
    return true;
}

int SimDeviceNotify::ActiveRegistrations() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_active.size());
}

PlatformHandle SimDeviceNotify::RegisterInterfaceNotification(PlatformHandle serviceStatusHandle,
                                                              const Guid& interfaceClass) {
    if (auto error = m_trace.Enter("RegisterDeviceNotificationW",
                                   "status=" + std::to_string(serviceStatusHandle) + " " +
                                       ToUtf8(GuidToString(interfaceClass)))) {
        SetLastErrorCode(*error);
        return win::kNoHandle;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    PlatformHandle handle = m_next;
    m_next += 4;
    m_active.insert(handle);
    return handle;
}

bool SimDeviceNotify::UnregisterNotification(PlatformHandle notification) {
    if (auto error = m_trace.Enter("UnregisterDeviceNotification")) {
        SetLastErrorCode(*error);
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_active.erase(notification) == 0) {
        SetLastErrorCode(win::kErrorInvalidHandle);
        return false;
    }
    return true;
}

}  // namespace tav::sim
