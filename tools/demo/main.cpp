// tav_demo: runs each subsystem's demo section against the simulated world.

#include <cstdio>

#include "tools/demo/demo_sections.h"

namespace tav::demo {

void Heading(const char* title) {
    std::printf("\n== %s ==\n", title);
}

}  // namespace tav::demo

int main() {
    // One line per subsystem's section.
    tav::demo::PrinterLinkSection();
    tav::demo::SettingsSection();
    tav::demo::ShellSection();
    tav::demo::PortCoreSection();
    tav::demo::TavprinterSection();
    return 0;
}
