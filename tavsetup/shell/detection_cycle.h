#pragma once
// The main window's detection cycle: run discovery and identification whenever the
// devices change, and tell the pages the outcome as a status code; while a page's change
// makes the printer re-enumerate, a watch window holds back "absent" and "unchanged"
// results so the pages hear only of the printer's return or of the state at its end.

#include <cstdint>

namespace tav::setup {

// The three pages, in the order they are told a status.
enum class Page { SerId, VCom, Bidi };

// What the cycle needs of the main window. Timer operations act on timer 0.
class DetectionView {
  public:
    virtual ~DetectionView() = default;
    virtual void SetTimer(uint32_t periodMs) = 0;
    virtual void KillTimer() = 0;
    virtual void PostDetectPrinter() = 0;
    virtual void PostStatus(Page page, uint32_t status) = 0;
    // Modal warning box of string 102; messages keep being dispatched while it is open.
    virtual void ShowSeveralPrintersWarning() = 0;
};

// Discovery and identification of the one printer.
class PrinterDetector {
  public:
    virtual ~PrinterDetector() = default;
    // Printers found (0, 1, 2 or more), -1 when the enumeration failed.
    [[nodiscard]] virtual int Discover() = 0;
    // Whether the last discovery kept a device path.
    virtual bool HasDevicePath() = 0;
    // Whether the printer's IEEE 1284 device ID was read and accepted.
    [[nodiscard]] virtual bool CheckId() = 0;
};

class DetectionCycle {
  public:
    DetectionCycle(DetectionView& view, PrinterDetector& detector)
        : m_view(view), m_detector(detector) {}

    // Initial state: idle, no count.
    void Reset();

    void OnClose();
    void OnTimer();
    void OnBeginWatch();
    void OnRedetect();
    void OnDeviceChange(uintptr_t event);
    void DetectStep();

    int32_t m_bWatching = 0;    // 1 while a watch window holds results back
    int32_t m_nLastCount = -1;  // count of the last step; -1 none

  private:
    uint32_t StatusOfCount(int count);
    void WarnSeveralPrinters();

    DetectionView& m_view;
    PrinterDetector& m_detector;
    bool m_bWarningOpen = false;  // at most one several-printers box at a time
};

}  // namespace tav::setup
