#pragma once
// The application object: its InitInstance is the whole life of the utility.

#include <string>

#include "printer/link/platform.h"
#include "tavsetup/shell/framework/win_app.h"

namespace tav::setup {

class CtavsetupApp : public CWinAppEx {
  public:
    // Start, modal main window and exit sequence; always FALSE, so the process then ends.
    BOOL InitInstance() override;

    std::u16string m_strTitle;
    Handle m_hInstanceMutex = win::kNoHandle;
};

}  // namespace tav::setup
