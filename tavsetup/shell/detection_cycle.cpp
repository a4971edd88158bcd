#include "tavsetup/shell/detection_cycle.h"

#include <initializer_list>

#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::setup {

void DetectionCycle::Reset() {
    m_bWatching = 0;
    m_nLastCount = -1;
}

void DetectionCycle::OnClose() {
    m_view.KillTimer();
}

void DetectionCycle::OnTimer() {
    m_view.KillTimer();
    m_bWatching = 0;
    m_view.PostDetectPrinter();
}

void DetectionCycle::OnBeginWatch() {
    m_view.SetTimer(kWatchWindowMs);
    m_bWatching = 1;
}

void DetectionCycle::OnRedetect() {
    m_nLastCount = -1;
    DetectStep();
}

void DetectionCycle::OnDeviceChange(uintptr_t event) {
    if (event == win::kDbtDevNodesChanged)
        m_view.PostDetectPrinter();
}

void DetectionCycle::DetectStep() {
    const int count = m_detector.Discover();
    if (m_bWatching == 1 && count == m_nLastCount) {
        // Still the same picture: end the watch shortly unless something changes.
        m_view.KillTimer();
        m_view.SetTimer(kRecheckMs);
        return;
    }
    m_nLastCount = count;
    const uint32_t status = StatusOfCount(count);
    if (m_bWatching == 1 && status == kStatusUndetected)
        return;  // the printer may be on its way back; the timer keeps running
    m_view.KillTimer();
    for (Page page : {Page::SerId, Page::VCom, Page::Bidi})
        m_view.PostStatus(page, status);
}

uint32_t DetectionCycle::StatusOfCount(int count) {
    if (count >= 2) {
        WarnSeveralPrinters();
        m_bWatching = 0;
        return kStatusSeveralPrinters;
    }
    if (count <= 0 || !m_detector.HasDevicePath())
        return kStatusUndetected;
    const uint32_t status = m_detector.CheckId() ? kStatusPrinterReady : kStatusCommunicationError;
    m_bWatching = 0;
    return status;
}

void DetectionCycle::WarnSeveralPrinters() {
    // The box is modal and dispatches messages, so device changes while it is open run
    // further steps; those report 102 to the pages without stacking more boxes.
    if (m_bWarningOpen)
        return;
    m_bWarningOpen = true;
    m_view.ShowSeveralPrintersWarning();
    m_bWarningOpen = false;
}

}  // namespace tav::setup
