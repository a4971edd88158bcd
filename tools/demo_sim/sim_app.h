#pragma once
// The application object of the demonstration build: tavsetup.exe's start, main window,
// pages and exit sequence, on the simulated printer instead of the device adapters.

#include "tavsetup/shell/framework/win_app.h"

namespace tav::demo {

class CtavsetupSimApp : public setup::CWinAppEx {
  public:
    // Start, modal main window and exit sequence; always FALSE, so the process then ends.
    BOOL InitInstance() override;
};

}  // namespace tav::demo
