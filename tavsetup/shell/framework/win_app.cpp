#include "tavsetup/shell/framework/win_app.h"

namespace tav::setup {

namespace {
CWinAppEx* g_pApp = nullptr;
}

CWinAppEx::CWinAppEx() {
    g_pApp = this;
}

CWinAppEx::~CWinAppEx() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinAppEx::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

CWinAppEx* AfxGetApp() {
    return g_pApp;
}

int AfxWinMain() {
    CWinAppEx* app = AfxGetApp();
    if (!app)
        return -1;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

}  // namespace tav::setup
