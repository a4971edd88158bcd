#pragma once
// Runs the simulated machine on the user-interface thread in real time: a thread timer
// brings virtual time up to real time while nothing else moves it, and after changes of the
// simulated device tree it posts the device-change broadcast (WM_DEVICECHANGE,
// DBT_DEVNODES_CHANGED) to the thread's top-level windows, as the system does when device nodes
// change. Changes within one timer period share one broadcast: the simulated tree reports each
// interface and flag on its own, where the system settles a re-plugged device first.

#include <windows.h>

#include "tools/demo_sim/sim_printer_machine.h"

namespace tav::demo {

class MachinePacer {
  public:
    explicit MachinePacer(SimPrinterMachine& machine);
    ~MachinePacer();
    MachinePacer(const MachinePacer&) = delete;
    MachinePacer& operator=(const MachinePacer&) = delete;

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) noexcept;

    SimPrinterMachine& m_machine;
    UINT_PTR m_timer;
    bool m_bNodesChanged = false;
};

}  // namespace tav::demo
