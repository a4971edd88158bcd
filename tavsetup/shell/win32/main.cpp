// Entry point of tavsetup.exe: the application object's InitInstance does everything.

#include <windows.h>

#include "tavsetup/shell/win32/tavsetup_app.h"

namespace {
tav::setup::CtavsetupApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return tav::setup::AfxWinMain();
}
