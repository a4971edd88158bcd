// Entry point of tavsetup_sim.exe, the utility's demonstration build on a simulated
// printer (never shipped).

#include <windows.h>

#include "tools/demo_sim/sim_app.h"

namespace {
tav::demo::CtavsetupSimApp theApp;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return tav::setup::AfxWinMain();
}
