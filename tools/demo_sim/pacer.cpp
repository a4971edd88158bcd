#include "tools/demo_sim/pacer.h"

#include <dbt.h>

#include "shared/callback_boundary.h"

namespace tav::demo {
namespace {

MachinePacer* g_pPacer = nullptr;
constexpr UINT kPaceMs = 20;

BOOL CALLBACK PostDeviceChangeTo(HWND window, LPARAM) noexcept {
    ::PostMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    return TRUE;
}

}  // namespace

MachinePacer::MachinePacer(SimPrinterMachine& machine)
    : m_machine(machine), m_timer(::SetTimer(nullptr, 0, kPaceMs, OnTimer)) {
    g_pPacer = this;
    m_machine.OnDeviceNodesChanged([] {
        if (g_pPacer)
            g_pPacer->m_bNodesChanged = true;
    });
}

MachinePacer::~MachinePacer() {
    ::KillTimer(nullptr, m_timer);
    g_pPacer = nullptr;
}

void CALLBACK MachinePacer::OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (!g_pPacer)
        return;
    // A step that fails is skipped; the next tick paces the machine again.
    AtCallbackBoundary([] { g_pPacer->m_machine.KeepPace(); }, [] {});
    if (g_pPacer->m_bNodesChanged) {
        g_pPacer->m_bNodesChanged = false;
        ::EnumThreadWindows(::GetCurrentThreadId(), PostDeviceChangeTo, 0);
    }
}

}  // namespace tav::demo
