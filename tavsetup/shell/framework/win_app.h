#pragma once
// The application base of the framework: one global application object whose
// InitInstance runs at process start; when it returns FALSE the process ends without a
// message loop of the framework's own.

#include "tavsetup/shell/framework/wnd.h"

namespace tav::setup {

class CWinAppEx {
  public:
    CWinAppEx();
    CWinAppEx(const CWinAppEx&) = delete;
    CWinAppEx& operator=(const CWinAppEx&) = delete;
    virtual ~CWinAppEx();

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop after a successful InitInstance; the exit code.
    virtual int Run();
    virtual int ExitInstance() { return 0; }

    CWnd* m_pMainWnd = nullptr;
};

// The one application object (null before it is constructed).
CWinAppEx* AfxGetApp();

// What the program's entry point runs.
int AfxWinMain();

}  // namespace tav::setup
