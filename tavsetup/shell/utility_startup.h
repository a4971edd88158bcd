#pragma once
// Start and end of the utility: common controls, the single-instance mutex, the WOW64
// refusal, the one PrinterLink, the modal main window, and the exit sequence that starts
// the spooler, releases link and mutex, and restarts the port link service.

#include <cstdint>
#include <functional>
#include <string>

#include "shared/names.h"
#include "shared/win/messages.h"
#include "shared/win/startup.h"
#include "tavsetup/shell/startup_platform.h"

namespace tav::setup {

// InitCommonControlsEx registers every class of the Windows 95 set.
inline constexpr uint32_t kInitCommonControlsClasses = win::kIccWin95Classes;

inline constexpr uint32_t kErrorBoxStyle = win::kMbIconError | win::kMbTopmost;

struct StartupSeams {
    StartupKernel& kernel;
    StartupWindows& windows;
    ExitServices& services;
    // Builds the main window with the application title and runs it modally.
    std::function<void(const std::u16string& title)> runMainWindow;
};

class UtilityStartup {
  public:
    explicit UtilityStartup(StartupSeams seams) : m_seams(std::move(seams)) {}

    // The whole life of the utility; always 0 (FALSE): the process ends afterwards.
    int InitInstance();
    // 1 when this is the first instance and holds the mutex.
    [[nodiscard]] int AcquireSingleInstance();

    std::u16string m_strTitle;
    Handle m_hInstanceMutex = win::kNoHandle;

  private:
    bool RunsUnderWow64();
    void BringFirstInstanceForward();
    void ExitSequence();
    void ReleaseInstanceMutex();

    StartupSeams m_seams;
};

}  // namespace tav::setup
