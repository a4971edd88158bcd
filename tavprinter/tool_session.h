#pragma once
// One run's hold on the printer, as the utility holds it: the utility's single-instance
// mutex (same name, same security), so that the service's passes step aside and neither the
// utility nor a second tool works on the printer meanwhile; and at the end, on every path,
// what the utility's exit does: the Spooler started again, the mutex released, the port
// link service restarted (when it was running at the start, so a stopped one stays so) and
// the LPD print service started again if the printer link stopped it.

#include <cstdint>

#include "tavprinter/tool_platform.h"

namespace tav::tavprinter {

enum class HoldResult { kHeld, kBusy, kFailed };

class ToolSession {
  public:
    explicit ToolSession(ToolPlatform& tool) : m_tool(tool) {}
    ~ToolSession() { End(); }
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    // Takes the mutex; kBusy when another process owns or opened it first.
    HoldResult Begin();
    // Releases everything as the utility's exit does; runs once.
    void End();
    // The print-service fallback's note from a transaction.
    void NoteLpdStopped(int32_t bLpdStopped) { m_lpdStopped |= bLpdStopped; }
    int32_t& LpdStopped() { return m_lpdStopped; }
    // Whether the port link service was running when the run began.
    bool ServiceWasRunning() const { return m_serviceWasRunning; }

  private:
    ToolPlatform& m_tool;
    Handle m_mutex = win::kNoHandle;
    bool m_ended = false;
    bool m_serviceWasRunning = false;
    int32_t m_lpdStopped = 0;
};

}  // namespace tav::tavprinter
