#pragma once
// The main window's detector with each detection step's findings noted in the timeline.

#include "tavsetup/shell/detection_cycle.h"
#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class NotingDetector : public setup::PrinterDetector {
  public:
    NotingDetector(setup::PrinterDetector& inner, Timeline& timeline)
        : m_inner(inner), m_timeline(timeline) {}

    int Discover() override;
    bool HasDevicePath() override { return m_inner.HasDevicePath(); }
    bool CheckId() override;

  private:
    setup::PrinterDetector& m_inner;
    Timeline& m_timeline;
};

}  // namespace tav::demo
