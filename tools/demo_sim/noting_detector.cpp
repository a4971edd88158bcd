#include "tools/demo_sim/noting_detector.h"

#include <string>

namespace tav::demo {

int NotingDetector::Discover() {
    const int count = m_inner.Discover();
    m_timeline.Note("detect", "printers found: " + std::to_string(count));
    return count;
}

bool NotingDetector::CheckId() {
    const bool accepted = m_inner.CheckId();
    m_timeline.Note("detect", accepted ? "device ID accepted" : "device ID not accepted");
    return accepted;
}

}  // namespace tav::demo
